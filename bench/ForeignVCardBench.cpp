// The reader of other programs' vCards on a generated file of vCard 3.0 cards as phones and
// webmail export them: 17 properties a card, names with Czech, Polish and German letters,
// folded long lines.
//
//   zorvan_foreign_vcard_bench                       the benchmarks
//   zorvan_foreign_vcard_bench --write FILE [COUNT]  writes the file (100,000 cards unless
//                                                  COUNT), for timing other programs on it
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "interchange/vcard/ForeignVCardFile.h"
#include "res/CodePage.h"

using namespace zorvan;

namespace {

// A card line folded at 75 bytes as 3.0 writers do (never inside a UTF-8 character).
void AppendFolded(std::string& out, const std::string& line) {
  size_t start = 0, width = 75;
  while (line.size() - start > width) {
    size_t cut = start + width;
    while (cut > start && IsUtf8Continuation(line[cut])) --cut;
    out.append(line, start, cut - start);
    out += "\r\n ";
    start = cut;
    width = 74;
  }
  out.append(line, start);
  out += "\r\n";
}

std::string GenerateCards(int count) {
  static const char* const kFirst[] = {"Jan",      "Łukasz", "Jürgen",   "Eva",       "Zuzana",
                                       "Mirosław", "Björn",  "Kateřina", "Agnieszka", "Günter"};
  static const char* const kLast[] = {"Dvořák", "Wąsik",     "Größ",  "Nováková", "Żółkiewski",
                                      "Müller", "Procházka", "Kęsik", "Schäfer",  "Šťastný"};
  static const char* const kCity[] = {"Praha", "Kraków", "München", "Brno", "Łódź", "Köln"};
  static const char* const kStreet[] = {"Dlouhá", "Piękna", "Königstraße", "Náměstí Míru",
                                        "Żurawia"};
  std::string out;
  out.reserve(static_cast<size_t>(count) * 560);
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  char buffer[64];
  for (int i = 0; i < count; ++i) {
    const std::string first = kFirst[next() % 10], last = kLast[next() % 10];
    const std::string city = kCity[next() % 6];
    out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    out += "N:" + last + ";" + first + ";;;\r\n";
    out += "FN:" + first + " " + last + "\r\n";
    out += "ORG:" + last + " s.r.o.;Odd. " + std::to_string(i % 40) + "\r\n";
    out += "TITLE:Vedoucí\r\n";
    std::snprintf(buffer, sizeof buffer, "+420 602 %03u %03u", next() % 1000, next() % 1000);
    out += std::string("TEL;TYPE=CELL:") + buffer + "\r\n";
    std::snprintf(buffer, sizeof buffer, "+420 2 %04u %04u", next() % 10000, next() % 10000);
    out += std::string("TEL;TYPE=WORK,VOICE:") + buffer + "\r\n";
    std::snprintf(buffer, sizeof buffer, "+48 12 %03u %02u %02u", next() % 1000, next() % 100,
                  next() % 100);
    out += std::string("TEL;TYPE=HOME,VOICE:") + buffer + "\r\n";
    out += "EMAIL;TYPE=INTERNET,HOME,PREF:k" + std::to_string(i) + "@seznam.cz\r\n";
    out += "EMAIL;TYPE=INTERNET,WORK:" + std::to_string(i) + "@firma.cz\r\n";
    out += "ADR;TYPE=HOME:;;" + std::string(kStreet[next() % 5]) + " " +
           std::to_string(next() % 200 + 1) + ";" + city + ";;" +
           std::to_string(10000 + next() % 89999) + ";CZ\r\n";
    out += "URL;TYPE=WORK:https\\://www.f" + std::to_string(i % 977) + ".cz/\r\n";
    std::snprintf(buffer, sizeof buffer, "BDAY:%04u-%02u-%02u\r\n", 1940 + next() % 70,
                  next() % 12 + 1, next() % 28 + 1);
    out += buffer;
    AppendFolded(out, "NOTE:Kontakt " + std::to_string(i) +
                          ": potkali jsme se v Brně\\, volat po 15h\\; "
                          "schůzka.\\nDruhý řádek.");
    out += "CATEGORIES:Přátelé,Práce\r\n";
    std::snprintf(buffer, sizeof buffer, "UID:%08x-%04x\r\n", static_cast<unsigned>(i),
                  next() % 65536);
    out += buffer;
    out += "REV:2024-05-17T10:20:30Z\r\n";
    out += "END:VCARD\r\n";
  }
  return out;
}

const std::string& Cards(int count) {
  static std::string bytes;
  static int made = -1;
  if (made != count) {
    bytes = GenerateCards(count);
    made = count;
  }
  return bytes;
}

// The reader alone: every card to a record, kept as the import keeps them; freeing them is
// left out of the time.
void ReadAll(benchmark::State& state, const std::string& bytes, int count) {
  std::vector<SForeignContact> contacts;
  contacts.reserve(static_cast<size_t>(count));
  size_t cards = 0;
  for (auto _ : state) {
    SForeignReadHooks hooks;
    hooks.onContact = [&](SForeignContact&& c) { contacts.push_back(std::move(c)); };
    ReadForeignVCards(bytes, hooks);
    state.PauseTiming();
    cards = contacts.size();
    contacts.clear();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes.size()) * state.iterations());
  state.counters["bytes"] = static_cast<double>(bytes.size());
  state.counters["cards"] = static_cast<double>(cards);
}
void BM_ReadForeignVCards(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  ReadAll(state, Cards(count), count);
}
BENCHMARK(BM_ReadForeignVCards)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same cards as an old phone exports them: windows-1250 bytes and no CHARSET, so that
// every value's code page is found from the rest of the file.
void BM_ReadForeignVCards8Bit(benchmark::State& state) {
  static const std::string bytes = Utf8ToAnsi(Cards(100000), ECodePage::Windows1250);
  ReadAll(state, bytes, 100000);
}
BENCHMARK(BM_ReadForeignVCards8Bit)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--write") == 0) {
    const int count = argc >= 4 ? std::atoi(argv[3]) : 100000;
    std::ofstream out(argv[2], std::ios::binary);
    out << GenerateCards(count);
    out.close();
    if (!out) {
      std::cerr << "cannot write " << argv[2] << "\n";
      return 1;
    }
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
