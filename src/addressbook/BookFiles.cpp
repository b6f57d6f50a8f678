// Reading a book file: its bytes are checked against the limits of a book and kept by the
// list, and every entry reads its line from them (a long book on two threads).
#include <sys/stat.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <thread>

#include "Files.h"
#include "PersonLists.h"
#include "PersonText.h"

namespace kaede {

namespace {

bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

[[noreturn]] void RaiseBadBytes(std::string_view line, size_t i) {
  unsigned char c = static_cast<unsigned char>(line[i]);
  if (c == 0)
    throw Exception(SJ("住所録の行に使えないバイト 0x00 があります（") + std::to_string(i + 1) + SJ("バイト目）"));
  std::string bytes = HexBytes(line, i, 2);
  throw Exception(SJ("2バイト文字として読めないバイトがあります（") + bytes + SJ("、") + std::to_string(i + 1) +
                  SJ("バイト目）"));
}

// A line of a book holds no zero byte and no broken double-byte character (a lead byte
// without its second byte): no writer of books puts them there, so they mean a damaged
// file, whose lines cannot be trusted to say what the user wrote. The other single bytes pass
// as they are.
//
// Only a byte that cannot be a second byte (below 0x40, 0x7F, above 0xFC) can break a
// character, and only when the byte before it is a lead byte that starts a character: the
// line is searched for such bytes sixteen (or eight) at a time, and only they are looked at
// closely. Each look back over a run of lead bytes ends at that byte, so the check is linear.
void CheckBookBytes(std::string_view line) {
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  const char* base = line.data();
  size_t n = line.size();
  auto check = [&](size_t i) {
    unsigned char c = static_cast<unsigned char>(base[i]);
    if (IsTrailByte(c)) return;
    if (c == 0) RaiseBadBytes(line, i);
    if (i > 0 && IsLeadByte(base[i - 1]) && !IsTrailAt(line, i - 1)) RaiseBadBytes(line, i - 1);
  };
  size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: masks of the bytes that cannot follow a lead byte, of the zero
  // bytes and of the bytes in the lead range, one bit a byte.
  {
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    auto below = [&](__m128i v, int limit) {  // unsigned v < limit
      return _mm_cmplt_epi8(_mm_xor_si128(v, bias), _mm_set1_epi8(static_cast<char>(limit ^ 0x80)));
    };
    auto above = [&](__m128i v, int limit) {  // unsigned v > limit
      return _mm_cmpgt_epi8(_mm_xor_si128(v, bias), _mm_set1_epi8(static_cast<char>(limit ^ 0x80)));
    };
    unsigned carry = 0;  // whether the last byte of the block before is in the lead range
    for (; i + 16 <= n; i += 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
      __m128i zero = _mm_cmpeq_epi8(v, _mm_setzero_si128());
      __m128i cannot = _mm_or_si128(_mm_or_si128(below(v, 0x40), above(v, 0xFC)), _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F)));
      __m128i lead = _mm_or_si128(_mm_andnot_si128(below(v, 0x81), below(v, 0xA0)),
                                  _mm_andnot_si128(below(v, 0xE0), below(v, 0xFD)));
      unsigned leads = static_cast<unsigned>(_mm_movemask_epi8(lead));
      unsigned afterLead = ((leads << 1) | carry) & 0xFFFF;
      carry = leads >> 15;
      unsigned m = static_cast<unsigned>(_mm_movemask_epi8(zero)) |
                   (static_cast<unsigned>(_mm_movemask_epi8(cannot)) & afterLead);
      for (; m; m &= m - 1) check(i + static_cast<size_t>(__builtin_ctz(m)));
    }
  }
#endif
  uint64_t carry = i > 0 && IsLeadByte(base[i - 1]) ? 0x80 : 0;  // the lead-range mark of the byte before
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, base + i, 8);
    // Masks of the high bit of every byte of a kind, exact (no sum carries into the next byte).
    uint64_t x = w & ~kHighs;
    auto atLeast = [&](unsigned v) { return (x + kOnes * (0x80 - v)) & kHighs; };  // low seven bits >= v
    uint64_t zero = ~((x + kOnes * 0x7F) | w) & kHighs;
    uint64_t cannotFollow = (~w & ~atLeast(0x40)) | (w & atLeast(0x7D)) | (~w & atLeast(0x7F) & kHighs);
    uint64_t lead = w & ((atLeast(0x01) & ~atLeast(0x20)) | (atLeast(0x60) & ~atLeast(0x7D)));
    uint64_t afterLead = (lead << 8) | carry;
    carry = (lead >> 56) & 0x80;
    for (uint64_t m = zero | (cannotFollow & afterLead & kHighs); m; m &= m - 1)
      check(i + static_cast<size_t>(__builtin_ctzll(m)) / 8);
  }
  for (; i < n; ++i) check(i);
  // A lead byte that starts a character at the very end has no second byte.
  if (n > 0 && IsLeadByte(base[n - 1]) && !IsTrailAt(line, n - 1)) RaiseBadBytes(line, n - 1);
}

// Whether a date is written as the text form writes one: year/month/day, each in plain decimal
// with no leading zero and no sign but a minus. Parts of up to nine digits only, so that the
// value is in range (a longer part is looked at by reading the date).
bool IsPlainDate(std::string_view v) {
  size_t i = 0;
  for (int part = 0; part < 3; ++part) {
    bool minus = i < v.size() && v[i] == '-';
    if (minus) ++i;
    size_t from = i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i;
    size_t digits = i - from;
    if (digits == 0 || digits > 9 || (v[from] == '0' && (digits > 1 || minus))) return false;
    if (part < 2) {
      if (i >= v.size() || v[i] != '/') return false;
      ++i;
    }
  }
  return i == v.size();
}

std::string SizeText(size_t bytes) {
  if (bytes >= (size_t{1} << 20) && bytes % (size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + "MB";
  if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + "KB";
  return std::to_string(bytes) + SJ("バイト");
}

}  // namespace

// The reading state of one thread, reused line after line: where the elements of a line stand,
// and a scratch text.
struct TPersonList::TLineReader {
  std::vector<TCommaSpan> Spans;
  std::string Text;
};

std::string TPersonList::ReadFileData(const std::string& name) {
  auto tooBig = [&] {
    Exception e(SJ("住所録のファイルが大きすぎます（") + SizeText(Limits.Bytes) + SJ("まで）"));
    e.SetFileName(name);
    return e;
  };
  struct stat st;
  if (::stat(OsPath(name).c_str(), &st) == 0) {
    // A device or a pipe may never end: only files (and folders, for their own error) are read.
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
      Exception e(SJ("住所録のファイルではありません（装置やパイプは読み込めません）"));
      e.SetFileName(name);
      throw e;
    }
    if (static_cast<uint64_t>(st.st_size) > Limits.Bytes) throw tooBig();
  }
  std::string data = ReadFileBytes(name);
  if (data.size() > Limits.Bytes) throw tooBig();  // it grew while it was read
  return data;
}

void TPersonList::AddFileData(std::string data) {
  auto book = std::make_unique<TBookText>();
  book->Bytes = std::move(data);
  book->Day = Today();
  FBookTexts.push_back(std::move(book));
  ReadBook(*FBookTexts.back());
}

void TPersonList::AddLines(std::string_view text) {
  auto book = std::make_unique<TBookText>();
  book->Bytes.assign(text);
  book->Day = Today();
  FBookTexts.push_back(std::move(book));
  ReadBook(*FBookTexts.back());
}

const TPersonList::TBookText* TPersonList::BookTextOf(const char* line) const {
  for (const auto& book : FBookTexts)
    if (line >= book->Bytes.data() && line < book->Bytes.data() + book->Bytes.size()) return book.get();
  return nullptr;
}

void TPersonList::ReadBook(const TBookText& book) {
  std::string_view text(book.Bytes);
  // CR LF, a lone CR and a lone LF end a line; a last line without an ending still counts.
  std::vector<std::string_view> lines;
  lines.reserve(std::min(text.size() / 128 + 16, Limits.Lines));  // a real entry's line is longer
  // Every line is an entry, and an entry takes some two hundred bytes however short its line:
  // past the first lines, a book whose lines are on average shorter than any entry's is not
  // read further (a file of line ends would otherwise cost a hundred times its size).
  std::string tooMany;
  const char* base = text.data();
  for (size_t i = 0, n = text.size(); i < n;) {
    // The line ends at the first CR or LF.
    const void* lf = std::memchr(base + i, '\n', n - i);
    size_t k = lf ? static_cast<size_t>(static_cast<const char*>(lf) - base) : n;
    const void* cr = std::memchr(base + i, '\r', k - i);
    size_t j = cr ? static_cast<size_t>(static_cast<const char*>(cr) - base) : k;
    size_t end = j < n && text[j] == '\r' && j + 1 < n && text[j + 1] == '\n' ? j + 2 : j < n ? j + 1 : j;
    size_t no = lines.size() + 1;
    if (no > Limits.Lines) {
      tooMany = SJ("住所録の行が多すぎます（") + std::to_string(Limits.Lines) + SJ("行まで）");
      break;
    }
    if (no > Limits.ShortLines && no * Limits.LineAverage > end) {
      tooMany = SJ("短い行が多すぎます（") + std::to_string(Limits.ShortLines) + SJ("行を超える住所録は、1行が平均") +
                std::to_string(Limits.LineAverage) + SJ("バイト以上）");
      break;
    }
    lines.push_back(text.substr(i, j - i));
    i = end;
  }
  size_t n = lines.size();

  // The entries are made one after the other (their Ids keep the file's order), then read
  // from their lines, a long book on two threads. Inside the update bracket reading an entry
  // touches the entry alone: nothing is recorded, sorted, numbered or reported before the
  // bracket closes.
  WithUpdate(*this, [&] {
    Unrecorded([&] {
      const size_t kParallelFrom = 8192;
      bool parallel = n >= kParallelFrom && std::thread::hardware_concurrency() >= 2;
      size_t half = parallel ? n / 2 : n;
      // Each thread allocates the entries it will read, so that an entry lies near the entries
      // read after it (a save or a find walks them in order).
      std::vector<TPerson*> made(n, nullptr);
      auto allocate = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) made[i] = static_cast<TPerson*>(NewInstance());
      };
      if (parallel) {
        std::thread allocator([&] { allocate(half, n); });
        allocate(0, half);
        allocator.join();
      } else {
        allocate(0, n);
      }
      for (size_t i = 0; i < n; ++i) {
        try {
          made[i]->Create(this);
        } catch (...) {
          for (size_t j = i; j < n; ++j) delete made[j];  // not yet in the list
          throw;
        }
      }
      struct TFailure {
        size_t Line = SIZE_MAX;
        std::exception_ptr Error;
      };
      auto readRange = [&](size_t from, size_t to, TFailure& failure) {
        TLineReader reader;
        for (size_t i = from; i < to; ++i) {
          try {
            ReadBookLine(made[i], lines[i], reader);
          } catch (...) {
            failure = TFailure{i, std::current_exception()};
            return;
          }
        }
      };
      TFailure first, second;
      if (parallel) {
        std::thread helper([&] { readRange(half, n, second); });
        readRange(0, half, first);
        helper.join();
      } else {
        readRange(0, n, first);
      }
      const TFailure& failure = first.Error ? first : second;
      if (!failure.Error) {
        if (!tooMany.empty()) {
          Exception e(tooMany);
          e.SetLineNo(static_cast<int>(n) + 1);
          throw e;
        }
        return;
      }
      // The entries before the bad line stay, the rest go.
      for (size_t i = n; i-- > failure.Line;) made[i]->Free();
      try {
        std::rethrow_exception(failure.Error);
      } catch (Exception& e) {
        e.SetLineNo(static_cast<int>(failure.Line) + 1);
        throw;
      }
    });
  });
}

void TPersonList::ReadBookLine(TPerson* p, std::string_view line, TLineReader& reader) const {
  CheckBookBytes(line);
  if (line.empty()) return;  // an entry without fields, as an empty text gives one
  if (!ScanCommaText(line, reader.Spans, Limits.LineFields))
    throw Exception(SJ("項目が多すぎます（") + std::to_string(Limits.LineFields) + SJ("項目まで）"));
  const std::vector<TCommaSpan>& s = reader.Spans;
  // The dates are the only fields that can be wrong: a date that is not one stops the book
  // here, as it would when the entry reads its fields. A line in the text form has its dates
  // in their plain form already.
  bool textForm = IsPersonTextForm(line, s, reader.Text);
  for (size_t k : {size_t{10}, size_t{11}}) {
    if (textForm || k >= s.size()) break;
    reader.Text.clear();
    AppendCommaValue(reader.Text, line, s[k]);
    if (!reader.Text.empty() && !IsPlainDate(reader.Text)) TextToDate(reader.Text);
  }
  auto locate = [&](size_t k, uint32_t& at, uint32_t& len, uint8_t escaped) {
    if (k >= s.size()) return;
    at = static_cast<uint32_t>(s[k].Begin);
    len = static_cast<uint32_t>(s[k].End - s[k].Begin);
    if (s[k].Escaped) p->FLineFlags |= escaped;
  };
  p->FLine = line.data();
  p->FLineLen = static_cast<uint32_t>(line.size());
  p->FLineFlags = textForm ? TPerson::lfTextForm : 0;
  locate(0, p->FNameAt, p->FNameLen, TPerson::lfNameEscaped);
  locate(1, p->FYomiAt, p->FYomiLen, TPerson::lfYomiEscaped);
  locate(7, p->FClassifyAt, p->FClassifyLen, TPerson::lfClassifyEscaped);
  // Filters by kana row read every entry's row: it is kept beside the line's place.
  p->FLineKanaRow = static_cast<uint8_t>(KanaRow(p->YomiText(reader.Text)));
}

bool IsPersonTextForm(std::string_view line, const std::vector<TCommaSpan>& spans, std::string& scratch) {
  // Fifteen elements, each quoted exactly when its value needs quotes, with one comma between
  // two elements and nothing else.
  if (spans.size() != 15) return false;
  size_t at = 0;  // where the next element starts
  for (size_t k = 0; k < 15; ++k) {
    const TCommaSpan& e = spans[k];
    std::string_view content = line.substr(e.Begin, e.End - e.Begin);
    bool quoted = at < line.size() && line[at] == '"';
    if (e.Begin != at + (quoted ? 1 : 0)) return false;
    size_t next = e.End;
    if (quoted) {
      if (e.End >= line.size() || line[e.End] != '"') return false;  // a quote never closed
      ++next;
    }
    // The content holds the same special bytes as the value (a quote is a doubled quote). An
    // element without quotes ends before a comma or a byte below 0x21, so only a quote in it
    // would call for quotes.
    if ((quoted ? NeedsCommaQuotes(content) : content.find('"') != std::string_view::npos) != quoted) return false;
    if (k < 14) {
      if (next >= line.size() || line[next] != ',') return false;
      at = next + 1;
    } else if (next != line.size()) {
      return false;
    }
    switch (k) {
      case 2: case 3: case 6: case 7: case 8: case 9: case 14:
        // Reading drops a separator at the end of a list.
        if (!content.empty() && content.back() == '|' && !IsTrailAt(content, content.size() - 1)) return false;
        break;
      case 5:
        if (content.find('-') != std::string_view::npos) return false;  // reading drops hyphens
        break;
      case 10: case 11: {
        // A date as it is written back: year/month/day in plain decimal.
        if (content.empty()) return false;  // an empty date is the day of reading
        if (IsPlainDate(content)) break;
        scratch.assign(content);
        TDateValue d;
        try {
          d = TextToDate(scratch);
        } catch (const EDateToStrError&) {
          return false;  // not a date at all: the line stops the book when its dates are checked
        }
        scratch.clear();
        AppendDateText(scratch, d);
        if (scratch != content) return false;
        break;
      }
      default:
        break;
    }
  }
  return true;
}

}  // namespace kaede
