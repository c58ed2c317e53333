#include "app/AccountEditDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>
#include <iterator>
#include <utility>

#include "app/SyncPassword.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "store/TreeItem.h"
#include "sync/HttpTransport.h"

namespace zorvan {
namespace {

using sync::EDavFailure;

constexpr int kHrefRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

// What a failed discovery means for the user, in the window's language: whether the server was
// not reached, refused the account, or is no CardDAV server at all.
QString FailureSentence(EDavFailure kind) {
  switch (kind) {
    case EDavFailure::Unreachable:
      return CAccountEditDlg::tr("The server cannot be reached.");
    case EDavFailure::Unauthorized:
      return CAccountEditDlg::tr("The server refused the user name or password.");
    case EDavFailure::Untrusted:
      return CAccountEditDlg::tr(
          "The server's certificate is not trusted. For a server with a self-signed "
          "certificate, give the pin of its key.");
    case EDavFailure::ServerError:
      return CAccountEditDlg::tr("The server failed with an error of its own.");
    default:
      return CAccountEditDlg::tr("No CardDAV server answers at this address.");
  }
}

// An address book's name for the combo box and for a new group: the server's display name,
// else the last part of its href ("/jana/kontakty/" gives "kontakty").
QString BookName(const std::string& name, const std::string& href) {
  if (!name.empty()) return ToQString(name);
  const QString path = QUrl::fromPercentEncoding(QByteArray::fromStdString(href));
  const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  return parts.isEmpty() ? path : parts.last();
}

QLineEdit* LineEdit(const char* name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMinimumWidth(340);
  return edit;
}

}  // namespace

QString GroupPath(const CTreeItem* group) {
  QStringList labels;
  for (const CTreeItem* r = group; r && r->m_pParent; r = r->m_pParent)
    labels.prepend(ToQString(r->m_strLabel.view()));
  return labels.join(QLatin1Char('/'));
}

CAccountEditDlg::CAccountEditDlg(SAccountEntry entry, const std::vector<CTreeItem*>& groups,
                                 bool bAdding, QWidget* parent)
    : QDialog(parent),
      m_entry(std::move(entry)),
      m_original(m_entry.binding),
      m_pOriginalGroup(m_entry.pGroup),
      m_bAdding(bAdding) {
  setObjectName(QStringLiteral("accountEdit"));
  setWindowTitle(bAdding ? tr("Add Address Book") : tr("Edit Address Book"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreateAccountBox());
  layout->addWidget(CreateBookBox(groups));
  m_pAfresh = new QLabel(
      tr("The address book, its server or the group is not the one bound before: the binding "
         "starts afresh, and its next synchronisation compares every contact of both sides."));
  m_pAfresh->setObjectName(QStringLiteral("afresh"));
  m_pAfresh->setWordWrap(true);
  layout->addWidget(m_pAfresh);
  layout->addStretch();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  m_pOk = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  // The tab order is the order of the fields on the page, top to bottom.
  QWidget* const order[] = {m_pServer,
                            m_pUser,
                            m_pPassword,
                            m_pPin,
                            m_pFind,
                            m_pBooks,
                            m_pGroups,
                            m_pCalendar,
                            m_pSyncWhenOpened,
                            m_pOk,
                            buttons->button(QDialogButtonBox::Cancel)};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  UpdateState();
  m_pServer->setFocus();
}

CAccountEditDlg::~CAccountEditDlg() {
  // A discovery still under way is stopped; its answer, posted meanwhile, dies with the dialog.
  m_bCancel = true;
  if (m_finder.joinable()) m_finder.join();
}

QWidget* CAccountEditDlg::CreateAccountBox() {
  auto* box = new QGroupBox(tr("Account"));
  auto* form = new QFormLayout(box);
  m_pServer = LineEdit("server");
  m_pServer->setText(ToQString(m_entry.binding.serverUrl));
  m_pServer->setPlaceholderText(QStringLiteral("https://dav.example.org/"));
  m_pUser = LineEdit("user");
  m_pUser->setText(ToQString(m_entry.binding.userName));
  m_pPassword = LineEdit("password");
  m_pPassword->setEchoMode(QLineEdit::Password);
  if (!m_bAdding) m_pPassword->setPlaceholderText(tr("(as kept already)"));
  m_pPin = LineEdit("pin");
  m_pPin->setText(ToQString(m_entry.binding.pinnedKey));
  m_pPin->setPlaceholderText(tr("sha256//... for a self-signed certificate"));
  form->addRow(tr("&Server address:"), m_pServer);
  form->addRow(tr("&User name:"), m_pUser);
  form->addRow(tr("&Password:"), m_pPassword);
  form->addRow(tr("Certificate p&in:"), m_pPin);

  m_pFind = new QPushButton(tr("&Find address books"));
  m_pFind->setObjectName(QStringLiteral("find"));
  m_pFind->setAutoDefault(false);
  m_pBusy = new QProgressBar;
  m_pBusy->setObjectName(QStringLiteral("busy"));
  m_pBusy->setRange(0, 0);  // moving to and fro: how long it takes is not known
  m_pBusy->setTextVisible(false);
  m_pBusy->setFixedWidth(80);
  m_pBusy->hide();
  m_pFindStatus = new QLabel;
  m_pFindStatus->setObjectName(QStringLiteral("findStatus"));
  m_pFindStatus->setWordWrap(true);
  auto* row = new QHBoxLayout;
  row->addWidget(m_pFind);
  row->addWidget(m_pBusy);
  row->addWidget(m_pFindStatus, 1);
  form->addRow(row);
  connect(m_pFind, &QPushButton::clicked, this, &CAccountEditDlg::OnFind);
  connect(m_pServer, &QLineEdit::textEdited, this, &CAccountEditDlg::ResetBooks);
  connect(m_pUser, &QLineEdit::textEdited, this, &CAccountEditDlg::ResetBooks);
  connect(m_pServer, &QLineEdit::textChanged, this, &CAccountEditDlg::UpdateState);
  connect(m_pUser, &QLineEdit::textChanged, this, &CAccountEditDlg::UpdateState);
  return box;
}

QWidget* CAccountEditDlg::CreateBookBox(const std::vector<CTreeItem*>& groups) {
  auto* box = new QGroupBox(tr("Address book"));
  auto* form = new QFormLayout(box);
  m_pBooks = new QComboBox;
  m_pBooks->setObjectName(QStringLiteral("books"));
  m_pBooks->setMinimumContentsLength(30);
  m_pBooks->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_pGroups = new QComboBox;
  m_pGroups->setObjectName(QStringLiteral("groups"));
  m_pGroups->setMinimumContentsLength(30);
  m_pGroups->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_pGroups->addItem(tr("New group named after the address book"),
                     QVariant::fromValue<void*>(nullptr));
  for (CTreeItem* group : groups) {
    m_pGroups->addItem(GroupPath(group), QVariant::fromValue<void*>(group));
    if (group == m_entry.pGroup) m_pGroups->setCurrentIndex(m_pGroups->count() - 1);
  }
  m_pCalendar = LineEdit("calendar");
  m_pCalendar->setText(ToQString(m_entry.binding.calendarUrl));
  m_pCalendar->setPlaceholderText(tr("optional: a CalDAV calendar's address"));
  m_pSyncWhenOpened = new QCheckBox(tr("Synchronize when the database is op&ened"));
  m_pSyncWhenOpened->setObjectName(QStringLiteral("syncWhenOpened"));
  m_pSyncWhenOpened->setChecked(m_entry.binding.syncWhenOpened);
  form->addRow(tr("Address &book:"), m_pBooks);
  form->addRow(tr("&Group of the tree:"), m_pGroups);
  form->addRow(tr("Ca&lendar to publish to:"), m_pCalendar);
  form->addRow(m_pSyncWhenOpened);
  ResetBooks();
  connect(m_pBooks, &QComboBox::currentIndexChanged, this, &CAccountEditDlg::UpdateState);
  connect(m_pGroups, &QComboBox::currentIndexChanged, this, &CAccountEditDlg::UpdateState);
  return box;
}

QString CAccountEditDlg::ServerText() const { return m_pServer->text().trimmed(); }

void CAccountEditDlg::ResetBooks() {
  m_pBooks->clear();
  m_pFindStatus->clear();
  const sync::SBinding& b = m_original;
  if (!b.bookHref.empty() && ServerText() == ToQString(b.serverUrl) &&
      m_pUser->text() == ToQString(b.userName)) {
    m_pBooks->addItem(tr("%1 (%2)").arg(BookName(b.bookName, b.bookHref), ToQString(b.bookHref)));
    m_pBooks->setItemData(0, ToQString(b.bookHref), kHrefRole);
    m_pBooks->setItemData(0, ToQString(b.bookName), kNameRole);
  }
}

void CAccountEditDlg::OnFind() {
  const QString server = ServerText();
  const QString user = m_pUser->text();
  if (QUrl url(server); !url.isValid() || (url.scheme() != QLatin1String("http") &&
                                           url.scheme() != QLatin1String("https"))) {
    m_pFindStatus->setText(tr("Give the server's address, beginning with https://."));
    return;
  }
  QString password = m_pPassword->text();
  // An account already bound uses the password kept for it (asked for when none is kept).
  if (password.isEmpty() && !m_bAdding && !user.isEmpty() &&
      !app::FindSyncPassword(this, server, user, password))
    return;
  sync::SConnectionOptions options;
  options.strUser = ToStdString(user);
  options.strPassword = ToStdString(password);
  options.strPinnedKey = ToStdString(m_pPin->text().trimmed());
  options.pCancel = &m_bCancel;
  if (m_finder.joinable()) m_finder.join();
  SetFinding(true);
  try {
    m_finder = std::thread([this, url = ToStdString(server), options = std::move(options)] {
      sync::SDavStatus status;
      std::vector<sync::SDavCollection> found;
      try {
        sync::CCurlTransport transport(options);
        sync::CCardDavClient client(transport);
        status = client.Discover(url, found);
      } catch (const std::exception& e) {
        status = sync::DavFailure(EDavFailure::Unreachable, e.what());
      }
      // Back on the window's thread, in its turn among the window's events.
      QMetaObject::invokeMethod(
          this, [this, status, found = std::move(found)] { OnFound(status, found); },
          Qt::QueuedConnection);
    });
  } catch (const std::exception& e) {
    OnFound(sync::DavFailure(EDavFailure::Unreachable, e.what()), {});
  }
}

void CAccountEditDlg::OnFound(const sync::SDavStatus& status,
                              const std::vector<sync::SDavCollection>& found) {
  SetFinding(false);
  if (!status.Ok()) {
    m_pFindStatus->setText(status.kind == EDavFailure::Cancelled ? QString()
                                                                 : FailureSentence(status.kind));
    m_pFindStatus->setToolTip(ToQString(status.strMessage));
    return;
  }
  m_pBooks->clear();
  for (const sync::SDavCollection& book : found) {
    if (!book.bAddressBook) continue;
    m_pBooks->addItem(
        tr("%1 (%2)").arg(BookName(book.strDisplayName, book.strHref), ToQString(book.strHref)));
    m_pBooks->setItemData(m_pBooks->count() - 1, ToQString(book.strHref), kHrefRole);
    m_pBooks->setItemData(m_pBooks->count() - 1, ToQString(book.strDisplayName), kNameRole);
    if (book.strHref == m_original.bookHref) m_pBooks->setCurrentIndex(m_pBooks->count() - 1);
  }
  m_pFindStatus->setToolTip(QString());
  m_pFindStatus->setText(m_pBooks->count() == 0
                             ? tr("The account has no address book.")
                             : tr("Address books found: %1").arg(m_pBooks->count()));
  UpdateState();
  m_pBooks->setFocus();
}

void CAccountEditDlg::SetFinding(bool finding) {
  m_bFinding = finding;
  m_pBusy->setVisible(finding);
  for (QWidget* w : {static_cast<QWidget*>(m_pFind), static_cast<QWidget*>(m_pServer),
                     static_cast<QWidget*>(m_pUser), static_cast<QWidget*>(m_pPassword),
                     static_cast<QWidget*>(m_pPin)})
    w->setEnabled(!finding);
  if (finding) m_pFindStatus->setText(tr("Asking the server..."));
  UpdateState();
}

bool CAccountEditDlg::StartsAfresh() const {
  if (m_bAdding) return false;
  const QString href = m_pBooks->currentData(kHrefRole).toString();
  return ServerText() != ToQString(m_original.serverUrl) ||
         (!href.isEmpty() && href != ToQString(m_original.bookHref)) ||
         m_pGroups->currentData().value<void*>() != m_pOriginalGroup;
}

void CAccountEditDlg::UpdateState() {
  m_pAfresh->setVisible(StartsAfresh());
  m_pOk->setEnabled(!m_bFinding && m_pBooks->currentIndex() >= 0);
}

bool CAccountEditDlg::Validate() {
  const QString pin = m_pPin->text().trimmed();
  if (!pin.isEmpty() && !pin.startsWith(QLatin1String("sha256//"))) {
    Prompt().MessageBox(tr("A certificate's pin begins with \"sha256//\", followed by the "
                           "base64 form of the SHA-256 of its public key."),
                        EMsgIcon::Error);
    m_pPin->setFocus();
    return false;
  }
  const QString calendar = m_pCalendar->text().trimmed();
  const QUrl url(calendar);
  if (!calendar.isEmpty() && (!url.isValid() || (url.scheme() != QLatin1String("http") &&
                                                 url.scheme() != QLatin1String("https")))) {
    Prompt().MessageBox(tr("The calendar's address is to begin with https:// or http://."),
                        EMsgIcon::Error);
    m_pCalendar->setFocus();
    return false;
  }
  return true;
}

void CAccountEditDlg::done(int result) {
  if (result != Accepted) {
    QDialog::done(result);
    return;
  }
  if (m_pBooks->currentIndex() < 0 || m_bFinding || !Validate()) return;
  const bool afresh = StartsAfresh();
  sync::SBinding& b = m_entry.binding;
  if (afresh) b = sync::SBinding();
  b.serverUrl = ToStdString(ServerText());
  b.userName = ToStdString(m_pUser->text());
  b.bookHref = ToStdString(m_pBooks->currentData(kHrefRole).toString());
  b.bookName =
      ToStdString(BookName(ToStdString(m_pBooks->currentData(kNameRole).toString()), b.bookHref));
  b.calendarUrl = ToStdString(m_pCalendar->text().trimmed());
  b.pinnedKey = ToStdString(m_pPin->text().trimmed());
  b.syncWhenOpened = m_pSyncWhenOpened->isChecked();
  m_entry.pGroup = static_cast<CTreeItem*>(m_pGroups->currentData().value<void*>());
  m_entry.strPassword = m_pPassword->text();
  QDialog::done(result);
}

}  // namespace zorvan
