#include "print/PrintContact.h"

#include <cstdio>
#include <string>

#include "res/StringTable.h"
#include "store/DateTime.h"
#include "store/RecordFields.h"
#include "store/RecordTexts.h"
#include "store/TreeItem.h"

namespace zorvan {
namespace {

constexpr int kHeaderTop = 700;
constexpr int kMargin = 100;     // the rules and the frame stop this far from either edge
constexpr int kLabelLeft = 600;  // the labels' column
// The value column lies this far right of the widest label the layout was made for.
constexpr int kValueGap = 2200;
constexpr char kWidestLabel[] = "Zaměstnavatel:";
// The footer line is a hairline; a scaled page keeps a point below it so that it is not cut.
constexpr int kHairline = 20;

std::string CityLine(const CTextField& city, const CTextField& state,
                     const CTextField& postalCode) {
  return city.str() + ", " + state.str() + " " + postalCode.str();
}

std::string PageText(int page) {
  char text[32];
  std::snprintf(text, sizeof text, "Stránka %d", page);
  return text;
}

std::string TimeText(const CDateTime& now) {
  SDateParts p;
  if (!now.GetParts(p)) return std::string();
  char text[40];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", p.nDay, p.nMonth, p.nYear, p.nHour,
                p.nMinute);
  return text;
}

struct SRow {
  int line;  // lines of the normal font below the top of the body
  EField field;
};

void DrawCentred(IPrintCanvas& canvas, int y, const std::string& text, EPrintFont font) {
  canvas.Text((canvas.PageWidth() - canvas.TextWidth(text, font)) / 2, y, text, font);
}

void DrawLabels(IPrintCanvas& canvas, int body, int lineHeight) {
  static constexpr struct {
    int line;
    int id;
  } kLabels[] = {
      {0, IDS_PRINT_ADDRESS},       {4, IDS_PRINT_PHONE},          {6, IDS_PRINT_FAX},
      {8, IDS_PRINT_MOBILE},        {10, IDS_PRINT_INTERNET},      {14, IDS_PRINT_BUSINESS},
      {16, IDS_PRINT_WORK_ADDRESS}, {20, IDS_PRINT_WORK_PHONE},    {22, IDS_PRINT_WORK_FAX},
      {24, IDS_PRINT_WORK_MOBILE},  {26, IDS_PRINT_WORK_INTERNET},
  };
  for (const auto& label : kLabels)
    canvas.Text(kLabelLeft, body + label.line * lineHeight, LoadString(label.id), EPrintFont::bold);
}

void DrawValues(IPrintCanvas& canvas, const CTreeItem& r, int body, int lineHeight) {
  const int x = kValueGap + canvas.TextWidth(kWidestLabel, EPrintFont::normal);
  auto at = [&](int line, const std::string& text) {
    canvas.Text(x, body + line * lineHeight, text, EPrintFont::normal);
  };
  static constexpr SRow kRows[] = {
      {0, fieldHomeStreet},       {2, fieldHomeCountry},    {4, fieldHomePhone},
      {6, fieldHomeFax},          {8, fieldPersonalMobile}, {10, fieldPersonalEmail},
      {11, fieldPersonalWeb},     {14, fieldCompany},       {16, fieldBusinessStreet},
      {18, fieldBusinessCountry}, {20, fieldBusinessPhone}, {22, fieldBusinessFax},
      {24, fieldBusinessMobile},  {26, fieldBusinessEmail}, {27, fieldBusinessWeb},
  };
  for (const SRow& row : kRows) at(row.line, (r.*TextMember(row.field)).str());
  at(1, CityLine(r.m_strHomeCity, r.m_strHomeState, r.m_strHomePostalCode));
  at(17, CityLine(r.m_strBusinessCity, r.m_strBusinessState, r.m_strBusinessPostalCode));
}

}  // namespace

int ContactPageHeight(int lineHeight) { return kHeaderTop + 41 * lineHeight; }

std::string PrintedName(const CTreeItem& r) {
  std::string name = r.m_strFirstName.str() + " ";
  if (!r.m_strMiddleName.empty()) {
    name += FirstCharacter(r.m_strMiddleName.view());
    name += ". ";
  }
  name += r.m_strLastName.view();
  if (!r.m_strNickname.empty()) name += " (" + r.m_strNickname.str() + ")";
  return name;
}

void PrintContact(IPrintCanvas& canvas, const CTreeItem* record, int page, const CDateTime& now) {
  if (!record) return;
  const int needed = ContactPageHeight(canvas.LineHeight()) + kHairline;
  if (canvas.PageHeight() > 0 && canvas.PageHeight() < needed)
    canvas.SetScale(static_cast<double>(canvas.PageHeight()) / needed);

  const int w = canvas.PageWidth();
  const int l = canvas.LineHeight();
  const int body = kHeaderTop + 8 * l;

  DrawCentred(canvas, kHeaderTop, LoadString(IDS_VERSION), EPrintFont::bold);
  canvas.Line(kMargin, kHeaderTop + 2 * l, w - kMargin, kHeaderTop + 2 * l);
  DrawCentred(canvas, kHeaderTop + 5 * l, PrintedName(*record), EPrintFont::bold);

  DrawLabels(canvas, body, l);
  DrawValues(canvas, *record, body, l);

  canvas.Rectangle(kMargin, body - l, w - kMargin, body + 29 * l);
  canvas.Line(kMargin, body + 33 * l, w - kMargin, body + 33 * l);
  canvas.Text(kMargin, body + 31 * l, PageText(page), EPrintFont::normal);
  const std::string time = TimeText(now);
  canvas.Text(w - canvas.TextWidth(time, EPrintFont::normal) - kMargin, body + 31 * l, time,
              EPrintFont::normal);
}

}  // namespace zorvan
