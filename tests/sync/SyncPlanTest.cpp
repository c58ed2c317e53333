#include <gtest/gtest.h>

#include <map>
#include <set>

#include "sync/SyncPlan.h"

using namespace zorvan::sync;

namespace {

// How the one contact of a case stands on each side. A new item has no state's entry; every
// other kind but absent has one.
enum class EHere { fresh, unchanged, changed, deleted, deletedMarked, absent };
enum class EThere { fresh, unchanged, changed, deleted, absent };
enum class EListing { whole, cutShort, delta, deltaCutShort };

const char* const kUid = "urn:uuid:b7c1-łukasz";
const char* const kHref = "/dav/kontakty/łukasz.vcf";
const char* const kNewHref = "/dav/kontakty/nový.vcf";

// The lists of the plan that hold anything, by name.
std::set<std::string> Where(const SSyncPlan& plan) {
  std::set<std::string> lists;
  const std::pair<const char*, const std::vector<SPlanItem>*> all[] = {
      {"fetch", &plan.fetch},
      {"uploadNew", &plan.uploadNew},
      {"uploadChanged", &plan.uploadChanged},
      {"deleteRemote", &plan.deleteRemote},
      {"deleteLocal", &plan.deleteLocal},
      {"merge", &plan.merge},
      {"forget", &plan.forget},
      {"unchanged", &plan.unchanged},
      {"agree", &plan.agree}};
  for (const auto& [name, list] : all)
    if (!list->empty()) lists.insert(name);
  return lists;
}

SSyncPlan Plan(EHere here, EThere there, EListing kind) {
  const bool known = here != EHere::fresh && here != EHere::absent && there != EThere::fresh &&
                     there != EThere::absent;
  SBinding state;
  if (known)
    state.contacts.push_back({kUid, kHref, "\"agreed\"", 100, "BEGIN:VCARD\r\nEND:VCARD\r\n",
                              here == EHere::deletedMarked});
  std::vector<SLocalContact> local;
  if (here == EHere::fresh || here == EHere::unchanged) local.push_back({kUid, 100});
  if (here == EHere::changed) local.push_back({kUid, 101});
  SRemoteListing listing;
  listing.delta = kind == EListing::delta || kind == EListing::deltaCutShort;
  listing.complete = kind == EListing::whole || kind == EListing::delta;
  // A delta lists what changed only; a whole listing everything there is.
  if (there == EThere::fresh) listing.entries.push_back({kNewHref, "n1"});
  if (there == EThere::changed) listing.entries.push_back({kHref, "\"moved-on\""});
  if (there == EThere::unchanged && !listing.delta) listing.entries.push_back({kHref, "agreed"});
  if (there == EThere::deleted && listing.delta) listing.removed.push_back(kHref);
  return PlanSync(local, listing, state);
}

}  // namespace

// Every way the contact can stand here against every way it stands on the server, through each
// kind of listing. Cells with state: both sides known; without: one side new or absent.
TEST(SyncPlanTest, shouldDecideEveryCombinationOfBothSides) {
  using enum EHere;
  using H = EHere;
  using T = EThere;
  struct SRow {
    H here;
    T there;
    const char* whole;     // the plan's lists for a whole or delta listing
    const char* cutShort;  // for a whole listing cut short, where it differs
  } rows[] = {
      {unchanged, T::unchanged, "unchanged", nullptr},
      {unchanged, T::changed, "fetch", nullptr},
      {unchanged, T::deleted, "deleteLocal", "unchanged"},
      {changed, T::unchanged, "uploadChanged", nullptr},
      {changed, T::changed, "merge", nullptr},
      {changed, T::deleted, "uploadNew", "uploadChanged"},
      {deleted, T::unchanged, "deleteRemote", nullptr},
      {deleted, T::changed, "fetch", nullptr},
      {deleted, T::deleted, "forget", "deleteRemote"},
      {deletedMarked, T::unchanged, "deleteRemote", nullptr},
      {deletedMarked, T::changed, "fetch", nullptr},
      {deletedMarked, T::deleted, "forget", "deleteRemote"},
      {fresh, T::fresh, "fetch uploadNew", nullptr},
      {fresh, T::absent, "uploadNew", nullptr},
      {absent, T::fresh, "fetch", nullptr},
      {absent, T::absent, "", nullptr},
  };
  for (const SRow& row : rows) {
    for (EListing kind :
         {EListing::whole, EListing::cutShort, EListing::delta, EListing::deltaCutShort}) {
      // A removal a delta names counts cut short or not; a whole listing's silence does not.
      const char* expected = kind == EListing::cutShort && row.cutShort ? row.cutShort : row.whole;
      std::set<std::string> want;
      for (std::string_view rest = expected; !rest.empty();) {
        const size_t blank = std::min(rest.find(' '), rest.size());
        want.insert(std::string(rest.substr(0, blank)));
        rest.remove_prefix(std::min(blank + 1, rest.size()));
      }
      const SSyncPlan plan = Plan(row.here, row.there, kind);
      EXPECT_EQ(Where(plan), want)
          << static_cast<int>(row.here) << " x " << static_cast<int>(row.there) << " in listing "
          << static_cast<int>(kind);
      EXPECT_FALSE(plan.massDeletion);
    }
  }
}

TEST(SyncPlanTest, shouldNameWhatEachStepNeeds) {
  SSyncPlan plan = Plan(EHere::changed, EThere::unchanged, EListing::whole);
  ASSERT_EQ(plan.uploadChanged.size(), 1u);
  EXPECT_EQ(plan.uploadChanged[0], (SPlanItem{kUid, kHref, "\"agreed\""}));
  plan = Plan(EHere::changed, EThere::changed, EListing::whole);
  EXPECT_EQ(plan.merge[0], (SPlanItem{kUid, kHref, "moved-on"}));
  EXPECT_EQ(plan.HrefsToFetch(), std::vector<std::string>{kHref});
  plan = Plan(EHere::changed, EThere::deleted, EListing::whole);
  EXPECT_EQ(plan.uploadNew[0], (SPlanItem{kUid, kHref, ""}));
  plan = Plan(EHere::absent, EThere::fresh, EListing::delta);
  EXPECT_EQ(plan.fetch[0], (SPlanItem{"", kNewHref, "n1"}));
}

// count contacts on both sides, deleted of them gone on one side.
TEST(SyncPlanTest, shouldReportAMassDeletionOnEitherSide) {
  struct SRow {
    size_t count;
    size_t deleted;
    bool mass;
  } rows[] = {{4, 4, false}, {5, 5, true},     {50, 5, false},  {50, 6, true},
              {49, 5, true}, {100, 10, false}, {100, 11, true}, {3, 1, false}};
  for (const SRow& row : rows) {
    for (bool here : {false, true}) {
      SBinding state;
      std::vector<SLocalContact> local;
      SRemoteListing listing;
      for (size_t i = 0; i < row.count; ++i) {
        const std::string uid = "urn:uuid:Ζωή-" + std::to_string(i);
        const std::string href = "/ab/" + std::to_string(i) + ".vcf";
        state.contacts.push_back({uid, href, "e", 9, "", false});
        const bool gone = i < row.deleted;
        if (!(here && gone)) local.push_back({uid, 9});
        if (here || !gone) listing.entries.push_back({href, "e"});
      }
      const SSyncPlan plan = PlanSync(local, listing, state);
      EXPECT_EQ((here ? plan.deleteRemote : plan.deleteLocal).size(), row.deleted);
      EXPECT_EQ(plan.massDeletion, row.mass)
          << row.deleted << " of " << row.count << (here ? " here" : " there");
    }
  }
}

TEST(SyncPlanTest, shouldDeleteNothingHereForAListingCutShort) {
  SBinding state;
  std::vector<SLocalContact> local;
  SRemoteListing listing;
  listing.complete = false;
  for (int i = 0; i < 20; ++i) {
    const std::string uid = "urn:uuid:" + std::to_string(i);
    state.contacts.push_back({uid, "/ab/" + std::to_string(i), "e", 1, "", false});
    local.push_back({uid, 1});
    if (i < 3) listing.entries.push_back({"/ab/" + std::to_string(i), "e"});
  }
  const SSyncPlan plan = PlanSync(local, listing, state);
  EXPECT_TRUE(plan.deleteLocal.empty());
  EXPECT_EQ(plan.unchanged.size(), 20u);
  EXPECT_FALSE(plan.massDeletion);
}

TEST(SyncPlanTest, shouldPairCardsBothSidesHadBeforeTheFirstSync) {
  const std::string card =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:urn:uuid:mü\r\nFN:Jürgen Müller\r\n"
      "TEL:+49 30 123\r\nEND:VCARD\r\n";
  const std::string reordered =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Jürgen Müller\r\nTEL:+49 30 123"
      "\r\nREV:20261209T100000Z\r\nUID:urn:uuid:mü\r\nEND:VCARD\r\n";
  struct SRow {
    const char* name;
    std::string here;
    std::string there;
    const char* lists;
  } rows[] = {
      {"equal but for order and REV", card, reordered, "agree"},
      {"different", card, "BEGIN:VCARD\r\nUID:urn:uuid:mü\r\nFN:J. Müller\r\nEND:VCARD\r\n",
       "merge"},
      {"other UIDs", card, "BEGIN:VCARD\r\nUID:urn:uuid:andere\r\nEND:VCARD\r\n",
       "fetch uploadNew"},
  };
  for (const SRow& row : rows) {
    SRemoteListing listing;
    listing.entries.push_back({"/ab/x.vcf", "\"t\""});
    SSyncPlan plan = PlanSync({{"urn:uuid:mü", 5}}, listing, SBinding{});
    PairFetched(plan, {{"/ab/x.vcf", "\"t\"", row.there}},
                [&](std::string_view uid) { return uid == "urn:uuid:mü" ? row.here : ""; });
    std::set<std::string> want;
    for (std::string_view w : {"agree", "merge", "fetch", "uploadNew"})
      if (std::string_view(row.lists).find(w) != std::string_view::npos)
        want.insert(std::string(w));
    EXPECT_EQ(Where(plan), want) << row.name;
    if (!plan.agree.empty()) {
      EXPECT_EQ(plan.agree[0], (SPlanItem{"urn:uuid:mü", "/ab/x.vcf", "t"}));
    }
  }
}

TEST(SyncPlanTest, shouldSendARefusedUploadBackToFetchAndMerge) {
  struct SRow {
    EHere here;
    EThere there;
    const char* href;
    const char* lists;
  } rows[] = {
      {EHere::changed, EThere::unchanged, kHref, "merge"},
      {EHere::fresh, EThere::absent, "/dav/kontakty/new.vcf", "merge"},
      {EHere::deleted, EThere::unchanged, kHref, "fetch"},
  };
  for (const SRow& row : rows) {
    SSyncPlan plan = Plan(row.here, row.there, EListing::whole);
    ASSERT_TRUE(PreconditionFailed(plan, kUid, row.href));
    EXPECT_EQ(Where(plan), std::set<std::string>{row.lists});
    EXPECT_EQ(plan.HrefsToFetch(), std::vector<std::string>{row.href});
    EXPECT_FALSE(PreconditionFailed(plan, kUid, row.href)) << "taken once";
  }
}
