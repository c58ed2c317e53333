#include "interchange/vcard/ForeignVCardFile.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "interchange/vcard/ForeignVCardReader.h"
#include "interchange/vcard/VCardLines.h"
#include "res/CodePage.h"
#include "store/TextUtil.h"
#include "store/TwoThreads.h"

namespace zorvan {
namespace {

// The text of the file to read: UTF-16 turned into UTF-8 (in storage), a UTF-8 mark skipped.
std::string_view TextOf(std::string_view bytes, std::string& storage) {
  EFileStart start;
  return TextAfterFileStart(bytes, storage, start);
}

// Files this long are read by two threads.
constexpr size_t kTwoReadersFrom = 4u << 20;

// A long file is cut into this many pieces, which two threads take one after the other: a
// thread slowed down meanwhile reads fewer of them, instead of holding up the end.
constexpr size_t kPieces = 12;

// The first BEGIN line from from on, found without reading what comes before: where a card
// starts unless a card is open around it, which only the reading of what comes before can tell.
// A line starts after a run of CR and LF bytes, however the scanner splits that run into line
// ends.
size_t CutGuess(std::string_view text, size_t from) {
  auto isBreak = [&text](size_t i) { return text[i] == '\r' || text[i] == '\n'; };
  size_t p = from;
  if (p > 0 && !isBreak(p - 1)) p = text.find_first_of("\r\n", p);
  while (p != std::string_view::npos) {
    while (p < text.size() && isBreak(p)) ++p;
    if (p >= text.size()) return std::string_view::npos;
    const size_t end = text.find_first_of("\r\n", p);
    if (IsBeginLine(text.substr(p, end == std::string_view::npos ? end : end - p))) return p;
    p = end;
  }
  return std::string_view::npos;
}

// Where the pieces of a long text start: 0, then the guessed card starts nearest after equal
// steps through it (fewer when guesses coincide); just 0 for a short text.
std::vector<size_t> PieceStarts(std::string_view text) {
  std::vector<size_t> starts{0};
  if (text.size() < kTwoReadersFrom) return starts;
  for (size_t k = 1; k < kPieces; ++k) {
    const size_t guess = CutGuess(text, text.size() / kPieces * k);
    if (guess == std::string_view::npos) break;
    if (guess > starts.back()) starts.push_back(guess);
  }
  return starts;
}

// A thread's first allocations come from a heap of its own that the C library grows a page at
// a time, one mprotect call each: the records of half a large file would cost some ten thousand
// of them. Taking and giving back the room they will need in large blocks at once (each below
// the size that would be mapped on its own) grows the heap in a few hundred steps; the room given
// back stays reserved for the records that follow. A later reading thread takes over the heap
// of one that ended, grown already: the heap is prepared only for more than it was before, as
// taking blocks out of a heap full of freed records costs more than it saves.
void PrepareThreadHeap(size_t bytes) {
  static std::atomic<size_t> prepared{0};
  if (bytes <= prepared.load(std::memory_order_relaxed)) return;
  prepared.store(bytes, std::memory_order_relaxed);
  constexpr size_t kBlock = 120u << 10;
  std::vector<void*> blocks;
  blocks.reserve(bytes / kBlock + 1);
  for (size_t taken = 0; taken < bytes; taken += kBlock) {
    void* p = std::malloc(kBlock);
    if (!p) break;
    blocks.push_back(p);
  }
  // In the order taken, so that each joins the free room before it and only the last reaches
  // the heap's top.
  for (void* p : blocks) std::free(p);
}

// A long file read in pieces by this thread and a second one, each taking the next piece not
// taken yet. Each piece is read from its guessed start up to the first card that starts at or
// past the next piece's start; a guess is right when the piece before ends exactly there. This
// thread hands out the contacts piece by piece in the file's order as soon as they are read,
// and reads again what follows a wrong guess (a nested card's BEGIN line, or one in a folded or
// soft-broken value), from where the piece before really ended. An empty card is kept in its
// place among the contacts as one without a record.
class CPieceReading {
 public:
  CPieceReading(std::string_view text, const SForeignReadHooks& hooks, const CTreeItem& base,
                std::vector<size_t> starts)
      : m_text(text),
        m_hooks(hooks),
        m_base(base),
        m_starts(std::move(starts)),
        m_pieces(new SPiece[m_starts.size()]),
        m_guess(text) {}

  void Run();

 private:
  struct SPiece {
    std::vector<SForeignContact> contacts;
    size_t end = 0;
    std::atomic<bool> done{false};
  };

  size_t Count() const { return m_starts.size(); }
  size_t LimitOf(size_t k) const { return k + 1 < Count() ? m_starts[k + 1] : m_text.size(); }
  void ReadPiece(size_t k);
  void ReadPieces();
  void Deliver(bool wait);

  std::string_view m_text;
  const SForeignReadHooks& m_hooks;
  const CTreeItem& m_base;
  const std::vector<size_t> m_starts;
  std::unique_ptr<SPiece[]> m_pieces;
  CFileCodePageGuess m_guess;  // one for all the pieces
  std::atomic<size_t> m_next{0};
  std::exception_ptr m_failure;
  size_t m_delivered = 0, m_reached = 0;
};

void CPieceReading::ReadPiece(size_t k) {
  SForeignReadHooks collect;
  std::vector<SForeignContact>& out = m_pieces[k].contacts;
  collect.onContact = [&out](SForeignContact&& c) { out.push_back(std::move(c)); };
  if (m_hooks.onEmptyCard) collect.onEmptyCard = [&out] { out.emplace_back(); };
  m_pieces[k].end =
      CForeignVCardReader(m_text, collect, m_base, &m_guess).Run(m_starts[k], LimitOf(k));
  m_pieces[k].done.store(true, std::memory_order_release);
}

// The second thread's work.
void CPieceReading::ReadPieces() {
  try {
    // The records take about twice the bytes of the cards they come from, and the thread
    // reads about half of them (at most one heap's worth is prepared).
    PrepareThreadHeap(std::min<size_t>(m_text.size(), 56u << 20));
    for (size_t k; (k = m_next.fetch_add(1)) < Count();) ReadPiece(k);
  } catch (...) {
    m_failure = std::current_exception();
  }
}

// Hands out the pieces read so far that follow the ones handed out, in order; all of them once
// wait is set.
void CPieceReading::Deliver(bool wait) {
  for (; m_delivered < Count(); ++m_delivered) {
    SPiece& piece = m_pieces[m_delivered];
    if (!wait && !piece.done.load(std::memory_order_acquire)) return;
    if (m_starts[m_delivered] == m_reached) {
      for (SForeignContact& c : piece.contacts) {
        if (!c.pRecord && m_hooks.onEmptyCard)
          m_hooks.onEmptyCard();
        else if (m_hooks.onContact)
          m_hooks.onContact(std::move(c));
      }
      m_reached = piece.end;
    } else if (m_reached < LimitOf(m_delivered)) {
      m_reached = CForeignVCardReader(m_text, m_hooks, m_base, &m_guess)
                      .Run(m_reached, LimitOf(m_delivered));
    }
    std::vector<SForeignContact>().swap(piece.contacts);
    if (m_hooks.onProgress) m_hooks.onProgress(std::max(m_reached, LimitOf(m_delivered)));
  }
}

void CPieceReading::Run() {
  std::thread second = StartThread([this] { ReadPieces(); });
  try {
    for (size_t k; (k = m_next.fetch_add(1)) < Count();) {
      ReadPiece(k);
      Deliver(false);
    }
  } catch (...) {
    m_next = Count();
    second.join();
    throw;
  }
  second.join();
  if (m_failure) std::rethrow_exception(m_failure);
  Deliver(true);
}

}  // namespace

void ReadForeignVCards(std::string_view bytes, const SForeignReadHooks& hooks) {
  std::string storage;
  const std::string_view text = TextOf(bytes, storage);
  // Offsets in the text read (UTF-8 when the file was UTF-16) are reported as offsets of the
  // file.
  SForeignReadHooks own;
  own.onContact = hooks.onContact;
  own.onEmptyCard = hooks.onEmptyCard;
  if (hooks.onProgress)
    own.onProgress = [&](size_t done) {
      hooks.onProgress(text.empty() ? bytes.size()
                                    : static_cast<size_t>(static_cast<double>(done) /
                                                          static_cast<double>(text.size()) *
                                                          static_cast<double>(bytes.size())));
    };

  const CTreeItem base;
  std::vector<size_t> starts = PieceStarts(text);
  if (starts.size() == 1)
    CForeignVCardReader(text, own, base).Run();
  else
    CPieceReading(text, own, base, std::move(starts)).Run();
  if (own.onProgress) own.onProgress(text.size());
}

bool LooksLikeVCardFile(std::string_view bytes) {
  std::string storage;
  CVCardLines lines(TextOf(bytes.substr(0, 4096), storage));
  std::string_view line;
  int seen = 0;
  while (seen < 5 && lines.Next(line)) {
    if (TrimValue(line).empty()) continue;
    if (IsBeginLine(line)) return true;
    ++seen;
  }
  return false;
}

}  // namespace zorvan
