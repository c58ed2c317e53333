#include "ui/SyncConflictDlg.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/QtText.h"

namespace zorvan {
namespace {

constexpr size_t kRowsUnscrolled = 10;

QString Tr(const char* text) { return QCoreApplication::translate("CSyncConflictDlg", text); }

// The names of the properties a contact's card holds, by the card's names for them.
struct SPropertyName {
  const char* key;
  const char* name;
};
const SPropertyName kPropertyNames[] = {
    {"FN", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Name")},
    {"N", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Name parts")},
    {"NICKNAME", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Nickname")},
    {"ORG", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Company")},
    {"TITLE", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Job title")},
    {"ROLE", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Role")},
    {"TEL", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Phone")},
    {"EMAIL", QT_TRANSLATE_NOOP("CSyncConflictDlg", "E-mail")},
    {"ADR", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Address")},
    {"URL", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Web page")},
    {"BDAY", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Birthday")},
    {"ANNIVERSARY", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Anniversary")},
    {"NOTE", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Note")},
    {"CATEGORIES", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Groups")},
    {"PHOTO", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Photo")},
    {"GENDER", QT_TRANSLATE_NOOP("CSyncConflictDlg", "Gender")},
};
// The TYPE words of phones, addresses and e-mail addresses; INTERNET (every e-mail address is
// one) says nothing.
const SPropertyName kTypeNames[] = {
    {"CELL", QT_TRANSLATE_NOOP("CSyncConflictDlg", "mobile")},
    {"HOME", QT_TRANSLATE_NOOP("CSyncConflictDlg", "home")},
    {"WORK", QT_TRANSLATE_NOOP("CSyncConflictDlg", "work")},
    {"FAX", QT_TRANSLATE_NOOP("CSyncConflictDlg", "fax")},
    {"VOICE", QT_TRANSLATE_NOOP("CSyncConflictDlg", "voice")},
    {"PAGER", QT_TRANSLATE_NOOP("CSyncConflictDlg", "pager")},
    {"PREF", QT_TRANSLATE_NOOP("CSyncConflictDlg", "preferred")},
    {"INTERNET", nullptr},
};

template <size_t N>
const SPropertyName* Find(const SPropertyName (&names)[N], const QString& key) {
  for (const SPropertyName& n : names)
    if (key == QLatin1String(n.key)) return &n;
  return nullptr;
}

// The value after the first colon outside quotes, split at the unescaped semicolons when the
// property is structured.
QStringList ValueParts(const QString& line, bool structured) {
  bool quoted = false;
  qsizetype colon = -1;
  for (qsizetype i = 0; i < line.size() && colon < 0; ++i) {
    if (line[i] == QLatin1Char('"')) quoted = !quoted;
    if (line[i] == QLatin1Char(':') && !quoted) colon = i;
  }
  QStringList parts(QString{});
  for (qsizetype i = colon + 1; i < line.size(); ++i) {
    const QChar c = line[i];
    if (c == QLatin1Char('\\') && i + 1 < line.size()) {
      const QChar next = line[++i];
      parts.back() += next == QLatin1Char('n') || next == QLatin1Char('N') ? QChar(u'\n') : next;
    } else if (c == QLatin1Char(';') && structured) {
      parts << QString();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

}  // namespace

QString CSyncConflictDlg::PropertyName(const std::string& key) {
  QString text = ToQString(key);
  // "item1.TEL;TYPE=CELL": the group only ties a property to its label.
  const qsizetype semicolon = text.indexOf(QLatin1Char(';'));
  const qsizetype dot = text.lastIndexOf(QLatin1Char('.'), semicolon < 0 ? -1 : semicolon);
  if (dot >= 0) text = text.mid(dot + 1);
  const QString name = text.section(QLatin1Char(';'), 0, 0);
  const SPropertyName* known = Find(kPropertyNames, name);
  QString shown = known ? Tr(known->name) : name;
  QStringList types;
  const QString typeList = text.section(QStringLiteral(";TYPE="), 1);
  for (const QString& type : typeList.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    const SPropertyName* word = Find(kTypeNames, type.toUpper());
    if (!word)
      types << type.toLower();
    else if (word->name)
      types << Tr(word->name);
  }
  if (!types.isEmpty()) shown += QStringLiteral(" (") + types.join(QStringLiteral(", ")) + ')';
  return shown;
}

QString CSyncConflictDlg::ValueText(const std::string& line) {
  if (line.empty()) return QCoreApplication::translate("CSyncConflictDlg", "(none)");
  const QString text = ToQString(line);
  const QString name = text.section(QLatin1Char(':'), 0, 0).section(QLatin1Char(';'), 0, 0);
  const QString bare = name.section(QLatin1Char('.'), -1).toUpper();
  const bool structured =
      bare == QLatin1String("N") || bare == QLatin1String("ADR") || bare == QLatin1String("ORG");
  QStringList parts = ValueParts(text, structured);
  parts.removeIf([](const QString& part) { return part.trimmed().isEmpty(); });
  return parts.isEmpty() ? QCoreApplication::translate("CSyncConflictDlg", "(empty)")
                         : parts.join(QStringLiteral(", "));
}

CSyncConflictDlg::CSyncConflictDlg(const QString& contact,
                                   const std::vector<sync::SCardConflict>& conflicts,
                                   QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("Changed Here and on the Server"));
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel(contact, this);
  QFont bold = name->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.25);
  name->setFont(bold);
  layout->addWidget(name);
  auto* intro = new QLabel(tr("This contact was changed here and on the server in different "
                              "ways. Choose the value each property keeps."),
                           this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  auto* rows = new QWidget;
  auto* grid = new QGridLayout(rows);
  grid->setHorizontalSpacing(16);
  const QString heads[] = {tr("Property"), tr("Mine"), tr("Server's")};
  for (int column = 0; column < 3; ++column) {
    auto* head = new QLabel(heads[column], rows);
    QFont font = head->font();
    font.setBold(true);
    head->setFont(font);
    grid->addWidget(head, 0, column);
  }
  for (const sync::SCardConflict& conflict : conflicts) {
    const int row = static_cast<int>(m_rows.size()) + 1;
    SRow buttons;
    grid->addWidget(new QLabel(PropertyName(conflict.key), rows), row, 0);
    buttons.pMine = new QRadioButton(ValueText(conflict.local), rows);
    buttons.pServers = new QRadioButton(ValueText(conflict.remote), rows);
    buttons.pMine->setObjectName(QStringLiteral("mine%1").arg(row - 1));
    buttons.pServers->setObjectName(QStringLiteral("servers%1").arg(row - 1));
    auto* group = new QButtonGroup(this);
    group->addButton(buttons.pMine);
    group->addButton(buttons.pServers);
    buttons.pMine->setChecked(true);
    grid->addWidget(buttons.pMine, row, 1);
    grid->addWidget(buttons.pServers, row, 2);
    m_rows.push_back(buttons);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(static_cast<int>(m_rows.size()) + 1, 1);
  // Many rows scroll, in a dialog as wide as they are.
  if (m_rows.size() <= kRowsUnscrolled) {
    layout->addWidget(rows, 1);
  } else {
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(std::min(rows->sizeHint().width() + 24, 900));
    scroll->setMinimumHeight(360);
    layout->addWidget(scroll, 1);
  }

  auto* box = new QDialogButtonBox(this);
  m_pKeepMine = box->addButton(tr("Keep &Mine for All"), QDialogButtonBox::ActionRole);
  m_pTakeServers = box->addButton(tr("Take the &Server's for All"), QDialogButtonBox::ActionRole);
  box->addButton(QDialogButtonBox::Ok);
  m_pLeave = box->addButton(tr("&Leave Unsynchronized"), QDialogButtonBox::RejectRole);
  connect(m_pKeepMine, &QPushButton::clicked, this, [this] {
    ChooseAll(sync::EMergeChoice::local);
    accept();
  });
  connect(m_pTakeServers, &QPushButton::clicked, this, [this] {
    ChooseAll(sync::EMergeChoice::remote);
    accept();
  });
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(box);
  resize(std::max(sizeHint().width(), 640), sizeHint().height());
}

std::vector<sync::EMergeChoice> CSyncConflictDlg::Choices() const {
  std::vector<sync::EMergeChoice> choices;
  for (const SRow& row : m_rows)
    choices.push_back(row.pServers->isChecked() ? sync::EMergeChoice::remote
                                                : sync::EMergeChoice::local);
  return choices;
}

void CSyncConflictDlg::ChooseAll(sync::EMergeChoice choice) {
  for (const SRow& row : m_rows)
    (choice == sync::EMergeChoice::remote ? row.pServers : row.pMine)->setChecked(true);
}

}  // namespace zorvan
