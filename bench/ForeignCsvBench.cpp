// Reading another program's delimited-text export: 100,000 rows in the desktop mail program's
// 92-column English layout, every row quoted as that program writes it, with names, a business
// and a home address, phones, an e-mail address with its type and display name, a birthday or
// "0.0.00", the usual priority and sensitivity, and every tenth row a notes value of two lines.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "interchange/csv/ColumnDictionary.h"
#include "interchange/csv/ForeignCsvLayouts.h"
#include "interchange/csv/ForeignCsvReader.h"
#include "res/CodePage.h"

using namespace zorvan;

namespace {

constexpr const char* kHeader =
    "Title,First Name,Middle Name,Last Name,Suffix,Company,Department,Job Title,Business "
    "Street,Business Street 2,Business Street 3,Business City,Business State,Business Postal "
    "Code,Business Country/Region,Home Street,Home Street 2,Home Street 3,Home City,Home "
    "State,Home Postal Code,Home Country/Region,Other Street,Other Street 2,Other Street "
    "3,Other City,Other State,Other Postal Code,Other Country/Region,Assistant's Phone,Business "
    "Fax,Business Phone,Business Phone 2,Callback,Car Phone,Company Main Phone,Home Fax,Home "
    "Phone,Home Phone 2,ISDN,Mobile Phone,Other Fax,Other Phone,Pager,Primary Phone,Radio "
    "Phone,TTY/TDD Phone,Telex,Account,Anniversary,Assistant's Name,Billing "
    "Information,Birthday,Business Address PO Box,Categories,Children,Directory Server,E-mail "
    "Address,E-mail Type,E-mail Display Name,E-mail 2 Address,E-mail 2 Type,E-mail 2 Display "
    "Name,E-mail 3 Address,E-mail 3 Type,E-mail 3 Display Name,Gender,Government ID "
    "Number,Hobby,Home Address PO Box,Initials,Internet Free Busy,Keywords,Language,Location,"
    "Manager's Name,Mileage,Notes,Office Location,Organizational ID Number,Other Address PO "
    "Box,Priority,Private,Profession,Referred By,Sensitivity,Spouse,User 1,User 2,User 3,User "
    "4,Web Page\r\n";

std::string Quoted(const std::string& v) { return "\"" + v + "\""; }

const std::string& OutlookFile(int rows) {
  static std::string file;
  if (!file.empty()) return file;
  static const char* first[] = {"Jan",   "Petr",   "Eva",    "Jürgen",
                                "Tomáš", "Łukasz", "Martin", "Věra"};
  static const char* last[] = {"Novák", "Svoboda", "Dvořák", "Größ", "Wąsik", "Kučera"};
  file = kHeader;
  std::vector<std::string> v(92);
  for (int i = 0; i < rows; ++i) {
    for (auto& s : v) s.clear();
    v[1] = first[i % 8];
    v[3] = last[i % 6];
    v[5] = "Firma " + std::to_string(i % 500) + " s.r.o.";
    v[7] = "Obchodník";
    v[8] = "Průmyslová " + std::to_string(i % 300);
    v[11] = "Brno";
    v[13] = "602 00";
    v[14] = "Česká republika";
    v[15] = "Dlouhá " + std::to_string(i % 200);
    v[18] = "Praha";
    v[20] = "110 00";
    v[31] = "+420 5" + std::to_string(10000000 + i);
    v[37] = "+420 2" + std::to_string(10000000 + i);
    v[40] = "+420 6" + std::to_string(10000000 + i);
    v[49] = "0.0.00";
    v[52] = i % 2 ? "17.5.19" + std::to_string(50 + i % 50) : "0.0.00";
    v[57] = "kontakt" + std::to_string(i) + "@example.cz";
    v[58] = "SMTP";
    v[59] = v[1] + " " + v[3] + " (" + v[57] + ")";
    v[66] = "Unspecified";
    v[77] = i % 10 == 0 ? "Potkali jsme se v Brně.\r\nVolat po 17. hodině." : "";
    v[80] = "Normal";
    v[81] = "False";
    v[84] = "Normal";
    for (size_t c = 0; c < v.size(); ++c) {
      if (c) file += ',';
      if (!v[c].empty()) file += Quoted(v[c]);
    }
    file += "\r\n";
  }
  return file;
}

constexpr int kRows = 100'000;

void BM_ForeignCsvParse(benchmark::State& state) {
  const std::string& bytes = OutlookFile(kRows);
  for (auto _ : state) {
    CForeignCsvFile csv;
    benchmark::DoNotOptimize(csv.Parse(bytes));
    benchmark::DoNotOptimize(csv.RowCount());
  }
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_ForeignCsvParseAndRead(benchmark::State& state) {
  const std::string& bytes = OutlookFile(kRows);
  for (auto _ : state) {
    CForeignCsvFile csv;
    csv.Parse(bytes);
    size_t n = 0;
    csv.ReadContacts(csv.Bindings(), EDateOrder::dayMonthYear,
                     [&](SForeignContact&& c) { n += c.pRecord ? 1 : 0; });
    if (n != static_cast<size_t>(kRows)) state.SkipWithError("rows lost");
  }
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}

// The meaning of every column of a 200-column header no known layout writes: names of several
// languages, numbered repeats and names the dictionary does not hold.
void BM_ColumnMeaningOfHeader(benchmark::State& state) {
  const char* const names[] = {
      "Vorname",     "Nachname", "Telefon (privat)", "E-mail 2",   "Lieblingsfarbe",
      "Miejscowość", "Poznámky", "Code postal",      "Geburtstag", "Spalte ohne Bedeutung"};
  std::vector<std::string> header;
  for (int i = 0; header.size() < 200; ++i)
    header.push_back(std::string(names[i % 10]) + (i >= 10 ? " " + std::to_string(i / 10) : ""));
  for (auto _ : state)
    for (const std::string& name : header)
      benchmark::DoNotOptimize(foreign_csv::ColumnMeaning(name));
}

// Telling the layout of headers: the desktop program's English one, a German Thunderbird one, a
// few shared names and a 200-column one no layout writes (every name looked up in each layout).
void BM_DetectLayout(benchmark::State& state) {
  std::vector<std::vector<std::string>> headers(4);
  std::string name;
  for (const char* c = kHeader; *c && *c != '\r'; ++c) {
    if (*c != ',') name += *c;
    if (*c == ',' || c[1] == '\r') headers[0].push_back(std::exchange(name, {}));
  }
  headers[1] = {"Vorname",
                "Nachname",
                "Anzeigename",
                "Spitzname",
                "Primäre E-Mail-Adresse",
                "Sekundäre E-Mail-Adresse",
                "Tel. dienstlich",
                "Tel. privat",
                "Fax-Nummer",
                "Notizen"};
  headers[2] = {"First Name", "Last Name", "E-mail Address", "Mobile Phone", "Notes"};
  for (int i = 0; i < 200; ++i) headers[3].push_back("Spalte " + std::to_string(i));
  for (auto _ : state)
    for (const auto& header : headers) benchmark::DoNotOptimize(foreign_csv::DetectLayout(header));
}

// The same file in windows-1250 bytes with the active code page windows-1252: its code page is
// guessed from a sample and the file converted through iconv.
void BM_ForeignCsvParse8Bit(benchmark::State& state) {
  static const std::string bytes = Utf8ToAnsi(OutlookFile(kRows), ECodePage::Windows1250);
  SetActiveCodePage(ECodePage::Windows1252);
  for (auto _ : state) {
    CForeignCsvFile csv;
    benchmark::DoNotOptimize(csv.Parse(bytes));
    benchmark::DoNotOptimize(csv.RowCount());
  }
  SetActiveCodePage(ECodePage::Windows1250);
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}

// Files made to be slow, each read whole (parsed and every row made a record): the cost must
// stay in proportion to the bytes.
// 0: a header of 65,535 columns of one meaning (a further line of the street) and one row
//    with a value in each; 1: the same header and 100,000 rows of one value; 2: a million
//    lines of notes before a known header; 3: 100,000 rows of a different width each (1 to
//    200 values) below a header of 3; 4: a first line of 64 MB and one byte, refused; 5: the
//    console address book's header-less export of 100,000 rows, quotes not doubled.
std::string HostileFile(int kind) {
  std::string file;
  switch (kind) {
    case 0:
    case 1:
      file = "Business Street";
      for (int i = 1; i < 65535; ++i) file += ",Business Street 2";
      file += "\n";
      if (kind == 0) {
        for (int i = 0; i < 65535; ++i) file += i ? ",patro" : "Dlouhá 5";
        file += "\n";
      } else {
        for (int i = 0; i < kRows; ++i) file += "Krátká " + std::to_string(i) + "\n";
      }
      break;
    case 2:
      for (int i = 0; i < 1'000'000; ++i) file += "n\n";
      file += "First Name,Last Name,URL,Email Address,Company,Position,Connected On\n";
      file += "Łukasz,Wąsik,,lw@firma.pl,Firma,Szef,01 Jan 2024\n";
      break;
    case 3:
      file = "First Name,Last Name,Nickname\n";
      for (int i = 0; i < kRows; ++i) {
        file += "Věra";
        for (int c = 1; c < 1 + i % 200; ++c) file += ",v";
        file += "\n";
      }
      break;
    case 4:
      file.assign((size_t{64} << 20) + 1, 'x');
      break;
    default:
      for (int i = 0; i < kRows; ++i)
        file += "\"Jiří Dvořák " + std::to_string(i) +
                "\",\"jiri@dvorak.cz,jiri@firma.cz\",\"+420 222 333 444\",\"Říká \"ahoj\"\",\"\"\n";
      break;
  }
  return file;
}

void BM_ForeignCsvHostile(benchmark::State& state) {
  const std::string bytes = HostileFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CForeignCsvFile csv;
    size_t n = 0;
    if (csv.Parse(bytes))
      csv.ReadContacts(csv.Bindings(), EDateOrder::dayMonthYear,
                       [&](SForeignContact&& c) { n += c.pRecord ? 1 : 0; });
    benchmark::DoNotOptimize(n);
  }
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}

}  // namespace

BENCHMARK(BM_ColumnMeaningOfHeader)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DetectLayout)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ForeignCsvParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForeignCsvParseAndRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForeignCsvParse8Bit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForeignCsvHostile)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
