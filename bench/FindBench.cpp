// The search over generated databases: a text found nowhere makes it walk every node.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "find/Finder.h"
#include "store/TreeItemArray.h"

namespace {

using namespace zorvan;

const char* const kFirst[] = {"Jan", "Petr", "Eva", "Jana", "Tomáš", "Lucie", "Martin", "Zuzana"};
const char* const kLast[] = {"Novák", "Svoboda", "Dvořák", "Černá", "Procházka", "Kučera"};
const char* const kCity[] = {"Praha", "Brno", "Ostrava", "Plzeň", "Liberec", "Olomouc"};

// Contacts in groups of 50, every tenth with a birthday event node under the calendar root.
std::unique_ptr<CTreeItemArray> MakeDatabase(int records) {
  auto items = std::make_unique<CTreeItemArray>();
  auto* contacts = new CTreeItem;
  contacts->m_strLabel = "Contacts";
  contacts->m_nKind = kindContacts;
  auto* calendar = new CTreeItem;
  calendar->m_strLabel = "Calendar";
  calendar->m_nKind = kindCalendar;
  items->Add(contacts);
  items->Add(calendar);
  auto* birthdays = new CTreeItem;
  birthdays->m_strLabel = "Birthdays";
  CTreeItem::AddChild(calendar, birthdays);
  CTreeItem* group = nullptr;
  for (int i = 0; i < records; ++i) {
    if (i % 50 == 0) {
      group = new CTreeItem;
      group->m_strLabel = "Group " + std::to_string(i / 50);
      group->m_bGroup = 1;
      CTreeItem::AddChild(contacts, group);
    }
    auto* r = new CTreeItem;
    r->m_strFirstName = kFirst[i % 8];
    r->m_strLastName = kLast[i % 6];
    r->m_strLabel = r->m_strFirstName + " " + r->m_strLastName + " " + std::to_string(i);
    r->m_strHomeCity = kCity[i % 6];
    r->m_strHomeStreet = "Dlouhá " + std::to_string(i);
    r->m_strPersonalEmail = "user" + std::to_string(i) + "@example.org";
    r->m_strHomePhone = "+420 600 " + std::to_string(100000 + i);
    CTreeItem::AddChild(group, r);
    if (i % 10 == 0) {
      auto* event = new CTreeItem;
      event->m_strLabel = r->m_strLabel;
      event->m_pLinked = r;
      CTreeItem::AddChild(birthdays, event);
    }
  }
  return items;
}

void BM_FindNothingByName(benchmark::State& state) {
  const auto items = MakeDatabase(static_cast<int>(state.range(0)));
  CFinder finder;
  finder.SetCriterion(0, findName, "Nobody Such");
  for (auto _ : state) benchmark::DoNotOptimize(finder.Find(*items, nullptr, findFromBeginning));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindNothingByName)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FindNothingWithThreeCriteria(benchmark::State& state) {
  const auto items = MakeDatabase(static_cast<int>(state.range(0)));
  CFinder finder;
  // Every record passes the first two, so all three are tested on each.
  finder.SetCriterion(0, findName, "a");
  finder.SetCriterion(1, findEmail, "@example");
  finder.SetCriterion(2, findHomeAddress, "žižkov");
  for (auto _ : state) benchmark::DoNotOptimize(finder.Find(*items, nullptr, findFromBeginning));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindNothingWithThreeCriteria)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_FindAllInCity(benchmark::State& state) {
  const auto items = MakeDatabase(static_cast<int>(state.range(0)));
  CFinder finder;
  finder.SetCriterion(0, findHomeAddress, "PLZEŇ");
  for (auto _ : state)
    benchmark::DoNotOptimize(finder.FindAll(*items, nullptr, findFromBeginning).size());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindAllInCity)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
