#include "ui/pages/PageName.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <string>

#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/GenderWords.h"
#include "store/LinkTargets.h"
#include "store/RecordExtras.h"
#include "store/RecordFields.h"
#include "store/RecordTexts.h"
#include "store/TreeItem.h"
#include "ui/BitmapButton.h"
#include "ui/MyPropSheet.h"
#include "ui/OpenTarget.h"

namespace zorvan {
namespace {

// The core's gender names (store/GenderWords.cpp) once more, for lupdate to find.
[[maybe_unused]] const char* const kGenderSources[] = {
    QT_TRANSLATE_NOOP("zorvan::CPageName", "Unknown"),
    QT_TRANSLATE_NOOP("zorvan::CPageName", "Male"),
    QT_TRANSLATE_NOOP("zorvan::CPageName", "Female")};

QComboBox* AddList(QGridLayout* grid, int row, const QString& label) {
  auto* list = new QComboBox;
  auto* caption = new QLabel(label);
  caption->setBuddy(list);
  grid->addWidget(caption, row, 0);
  grid->addWidget(list, row, 1);
  return list;
}

// Fills a preferred-address list from the record, keeps the record's stored index by the list's
// rules and selects the entry it names (none when it names no entry).
void FillPreferred(QComboBox* list, const CTreeItem& record, EPreferredKind kind, int& index) {
  const std::vector<std::string> entries = PreferredEntries(record, kind);
  const QSignalBlocker quiet(list);
  list->clear();
  for (const std::string& entry : entries) list->addItem(ToQString(entry));
  index = IndexAfterFill(index, list->count());
  list->setCurrentIndex(SelectionOf(index, list->count()));
}

void SelectPreferred(QComboBox* list, int index) {
  const QSignalBlocker quiet(list);
  list->setCurrentIndex(SelectionOf(index, list->count()));
}

// The side of the photo's frame: as high as the three rows of names beside it.
constexpr int kPhotoFrame = 76;

}  // namespace

CPageName::CPageName(CMyPropSheet& sheet) : CPropPage(sheet, IDS_PAGE_NAME) {
  auto* names = new QGroupBox(tr("Name"));
  auto* n = new QGridLayout(names);
  m_pFirst = AddTextField(n, 0, 0, tr("&First:"), fieldFirstName);
  m_pMiddle = AddTextField(n, 0, 2, tr("&Middle:"), fieldMiddleName);
  m_pLast = AddTextField(n, 1, 0, tr("&Surname:"), fieldLastName);
  m_pTitle = AddTextField(n, 1, 2, tr("&Title:"), fieldTitle);
  m_pNickname = AddTextField(n, 2, 0, tr("&Nickname:"), fieldNickname);
  m_pGender = new QComboBox;
  // The item's index is the record's gender number.
  for (int gender = 0; !GenderName(gender).empty(); ++gender)
    m_pGender->addItem(tr(std::string(GenderName(gender)).c_str()));
  m_pGender->setCurrentIndex(-1);
  auto* genderCaption = new QLabel(tr("&Gender:"));
  genderCaption->setBuddy(m_pGender);
  n->addWidget(genderCaption, 2, 2);
  n->addWidget(m_pGender, 2, 3);
  m_pPhoto = new QToolButton;
  m_pPhoto->setFixedSize(kPhotoFrame, kPhotoFrame);
  m_pPhoto->setIconSize(QSize(kPhotoFrame - 8, kPhotoFrame - 8));
  m_pPhoto->setToolButtonStyle(Qt::ToolButtonIconOnly);
  m_pPhoto->setPopupMode(QToolButton::InstantPopup);
  m_pPhoto->setAccessibleName(tr("Photo"));
  auto* photoMenu = new QMenu(m_pPhoto);
  m_pSetPhoto = photoMenu->addAction(tr("&Set Photo..."));
  m_pRemovePhoto = photoMenu->addAction(tr("&Remove Photo"));
  m_pPhoto->setMenu(photoMenu);
  n->addWidget(m_pPhoto, 0, 4, 3, 1, Qt::AlignTop);
  n->setColumnStretch(1, 1);
  n->setColumnStretch(3, 1);

  auto* labelBox = new QGroupBox(tr("Label"));
  auto* l = new QGridLayout(labelBox);
  m_pLabel = new QComboBox;
  m_pLabel->setEditable(true);
  m_pLabel->setInsertPolicy(QComboBox::NoInsert);
  auto* labelCaption = new QLabel(tr("&Label for tree view:"));
  labelCaption->setBuddy(m_pLabel);
  m_pGroup = new QCheckBox(tr("Gr&oup"));
  m_pGroup->setLayoutDirection(Qt::RightToLeft);  // the text stands left of the box
  l->addWidget(labelCaption, 0, 0);
  l->addWidget(m_pLabel, 0, 1);
  l->addWidget(m_pGroup, 0, 2);
  l->setColumnStretch(1, 1);

  auto* internet = new QGroupBox(tr("Internet"));
  auto* i = new QGridLayout(internet);
  m_pPrefEmail = AddList(i, 0, tr("Preferred &e-mail address:"));
  m_pPrefWeb = AddList(i, 1, tr("Preferred &web page:"));
  m_pEmailButton = new CBitmapButton(QStringLiteral("EMAIL"), EIcon::SendEmail);
  m_pWebButton = new CBitmapButton(QStringLiteral("WEB"), EIcon::WebPage);
  i->addWidget(m_pEmailButton, 0, 2);
  i->addWidget(m_pWebButton, 1, 2);
  i->setColumnStretch(1, 1);

  Body()->addWidget(names);
  Body()->addWidget(labelBox);
  Body()->addWidget(internet);

  for (QComboBox* list : {m_pGender, m_pPrefEmail, m_pPrefWeb})
    connect(list, &QComboBox::activated, this, [this] { OnUserEdit(); });
  connect(m_pGroup, &QCheckBox::clicked, this, [this] {
    const CZorvanDoc::CChange change = BeginRecordChange(EStepKind::group);
    OnUserEdit();
    m_sheet.RecordAppearanceChanged(ERecordChange::Group);
  });
  // Typing in the label box changes nothing until the box is left; picking a suggestion
  // relabels at once.
  m_pLabel->installEventFilter(this);
  connect(m_pLabel, &QComboBox::activated, this,
          [this](int index) { LabelChosen(m_pLabel->itemText(index)); });
  connect(m_pSetPhoto, &QAction::triggered, this, [this] { SetPhoto(); });
  connect(m_pRemovePhoto, &QAction::triggered, this, [this] { RemovePhoto(); });
  connect(m_pEmailButton, &QAbstractButton::clicked, this,
          [this] { OpenTarget(MailTarget(ToStdString(m_pPrefEmail->currentText()))); });
  connect(m_pWebButton, &QAbstractButton::clicked, this,
          [this] { OpenTarget(WebTarget(ToStdString(m_pPrefWeb->currentText()))); });
  UpdateButtons();
}

void CPageName::Load(CTreeItem& r) {
  LoadTextFields(r);
  if (m_bInitialized) {
    FillLabel(r);
    FillPreferred(m_pPrefEmail, r, EPreferredKind::email, r.m_nPrefEmail);
    FillPreferred(m_pPrefWeb, r, EPreferredKind::web, r.m_nPrefUrl);
  }
  m_pGender->setCurrentIndex(r.m_nGender >= 0 && r.m_nGender < 3 ? r.m_nGender : -1);
  m_pGroup->setChecked(r.m_bGroup != 0);
  NormalisePreferred(r);
  if (m_bInitialized) {
    SelectPreferred(m_pPrefEmail, r.m_nPrefEmail);
    SelectPreferred(m_pPrefWeb, r.m_nPrefUrl);
  }
  ShowPhoto(r);
  UpdateButtons();
}

void CPageName::ShowPhoto(const CTreeItem& r) {
  QPixmap photo;
  if (r.m_pExtras && !r.m_pExtras->photo.empty())
    photo.loadFromData(reinterpret_cast<const uchar*>(r.m_pExtras->photo.data()),
                       static_cast<uint>(r.m_pExtras->photo.size()));
  m_pPhoto->setIcon(photo.isNull() ? QIcon() : QIcon(photo));
  m_pPhoto->setText(photo.isNull() ? tr("Photo") : QString());
  m_pPhoto->setToolButtonStyle(photo.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
  m_pRemovePhoto->setEnabled(!photo.isNull());
}

// A JPEG, PNG or GIF picture of a few megabytes at most, as every address book shows one.
void CPageName::SetPhoto() {
  CTreeItem* record = m_sheet.Record();
  if (!record) return;
  SFileDialog dialog;
  dialog.title = tr("Set Photo");
  dialog.filter = tr("Pictures (*.jpg *.jpeg *.png *.gif);;All Files (*)");
  const QString path = Prompt().GetOpenFileName(dialog);
  if (path.isEmpty()) return;
  QFile file(path);
  const QString name = QFileInfo(path).fileName();
  if (!file.open(QIODevice::ReadOnly))
    return Prompt().MessageBox(tr("Cannot open file %1:\n%2.").arg(name, file.errorString()),
                               EMsgIcon::Error);
  if (file.size() > static_cast<qint64>(kMaxPhotoBytes))
    return Prompt().MessageBox(
        tr("The picture %1 is larger than %2 MB.").arg(name).arg(kMaxPhotoBytes >> 20),
        EMsgIcon::Error);
  std::string bytes = file.readAll().toStdString();
  const std::string_view type = PhotoMediaType(bytes);
  QPixmap check;
  if (type.empty() || !check.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                          static_cast<uint>(bytes.size())))
    return Prompt().MessageBox(tr("The file %1 is no JPEG, PNG or GIF picture.").arg(name),
                               EMsgIcon::Error);
  const CZorvanDoc::CChange change = BeginRecordChange(EStepKind::photo);
  if (!record->m_pExtras) record->m_pExtras = std::make_unique<SRecordExtras>();
  record->m_pExtras->photoType = type;
  record->m_pExtras->photo = std::move(bytes);
  ShowPhoto(*record);
  OnUserEdit();
}

void CPageName::RemovePhoto() {
  CTreeItem* record = m_sheet.Record();
  if (!record || !record->m_pExtras || record->m_pExtras->photo.empty()) return;
  const CZorvanDoc::CChange change = BeginRecordChange(EStepKind::photo);
  record->m_pExtras->photo.clear();
  record->m_pExtras->photoType.clear();
  if (record->m_pExtras->Empty()) record->m_pExtras.reset();
  ShowPhoto(*record);
  OnUserEdit();
}

void CPageName::Store(CTreeItem& r) {
  StoreTextFields(r);
  if (m_bInitialized) {
    r.m_strLabel = ToStdString(m_pLabel->currentText());
    FillLabel(r);
    r.m_nPrefEmail = m_pPrefEmail->currentIndex();
    FillPreferred(m_pPrefEmail, r, EPreferredKind::email, r.m_nPrefEmail);
    r.m_nPrefUrl = m_pPrefWeb->currentIndex();
    FillPreferred(m_pPrefWeb, r, EPreferredKind::web, r.m_nPrefUrl);
  }
  r.m_nGender = m_pGender->currentIndex();
  r.m_bGroup = m_pGroup->isChecked() ? 1 : 0;
  NormalisePreferred(r);
  if (m_bInitialized) {
    SelectPreferred(m_pPrefEmail, r.m_nPrefEmail);
    SelectPreferred(m_pPrefWeb, r.m_nPrefUrl);
  }
  // An address typed on another page fills the lists here; the buttons follow them.
  UpdateButtons();
}

void CPageName::FillLabel(const CTreeItem& r) {
  const QSignalBlocker quiet(m_pLabel);
  m_pLabel->clear();
  for (const std::string& label : LabelSuggestions(r)) m_pLabel->addItem(ToQString(label));
  // Rebuilding the suggestions never changes the label itself.
  m_pLabel->setCurrentIndex(-1);
  m_pLabel->setEditText(ToQString(r.m_strLabel.view()));
}

void CPageName::showEvent(QShowEvent* event) {
  CPropPage::showEvent(event);
  if (m_bInitialized) return;
  // The lists are filled the first time the page is seen.
  m_bInitialized = true;
  m_sheet.ExchangeRecord(false);
}

bool CPageName::eventFilter(QObject* watched, QEvent* event) {
  // The box's own list taking the focus for a moment does not count as leaving it.
  if (watched == m_pLabel && event->type() == QEvent::FocusOut &&
      static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
    LabelChosen(m_pLabel->currentText());
  return CPropPage::eventFilter(watched, event);
}

void CPageName::LabelChosen(const QString& label) {
  CTreeItem* record = m_sheet.Record();
  if (!record) return;
  const std::string text = ToStdString(label);
  if (record->m_strLabel == text) return;
  const CZorvanDoc::CChange change = BeginRecordChange(EStepKind::relabel);
  record->m_strLabel = text;
  m_sheet.RecordAppearanceChanged(ERecordChange::Label);
}

void CPageName::AfterUserEdit() { UpdateButtons(); }

void CPageName::UpdateButtons() {
  m_pEmailButton->setEnabled(m_pPrefEmail->count() > 0 && m_pPrefEmail->currentIndex() >= 0);
  m_pWebButton->setEnabled(m_pPrefWeb->count() > 0 && m_pPrefWeb->currentIndex() >= 0);
}

}  // namespace zorvan
