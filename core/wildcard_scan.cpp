#include "wildcard_scan.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "prefetch.h"
#include "wildcard_match.h"

namespace {

constexpr std::uint64_t Ones = 0x0101010101010101ULL;
constexpr std::uint64_t Highs = Ones << 7;
constexpr std::uint64_t Lows = ~Highs;
constexpr std::uint64_t FirstByteBit = std::uint64_t{1} << 63;
constexpr std::size_t KeyBytes = ChardefStore::KeyBytes;
// The walk goes down the key's high bytes, where the code's first bytes are in place.
constexpr std::size_t WalkBytes = ChardefStore::HighBytes;

// The high bit of every byte of `x` that is zero, and of no other: the low seven bits of
// the bytes are added apart, so no carry crosses into a neighbour.
std::uint64_t ZeroBytes(std::uint64_t x) { return ~(((x & Lows) + Lows) | x) & Highs; }

// The high bit of every byte of `x` that is not zero.
std::uint64_t NonZeroBytes(std::uint64_t x) { return (((x & Lows) + Lows) | x) & Highs; }

std::uint64_t EqualBytes(std::uint64_t key, unsigned char byte) {
    return ZeroBytes(key ^ (Ones * byte));
}

// The key bits of a code's first `count` bytes (at most eight).
std::uint64_t LeadingBytes(std::size_t count) {
    return count == 0 ? 0 : ~std::uint64_t{0} << (64 - 8 * count);
}

// The pattern as a test of a code that its key holds alone, given as its CodeWord (at most
// eight bytes, none of them zero, so the code ends where the zero padding begins), and that
// holds no '*' byte.
// On such a code the matcher finds a match exactly when the pieces between the '*'s occur
// in order without overlapping: the first at the start, the last at the end unless the
// pattern ends in '*', each piece in between at its leftmost place after the one before.
// Each piece is tested at every place at once: a bit per byte of the key says whether the
// piece starts there.
class KeyPattern {
  public:
    explicit KeyPattern(std::string_view pattern) {
        hasStar = pattern.find('*') != std::string_view::npos;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = std::min(pattern.find('*', start), pattern.size());
            Piece piece{static_cast<std::uint32_t>(bytes.size()),
                        static_cast<std::uint32_t>(end - start)};
            const std::string_view text = pattern.substr(start, end - start);
            if (text.size() > KeyBytes || text.find('\0') != std::string_view::npos) {
                fitsNoKey = true;  // a piece longer than any such code, or asking for a zero byte
            }
            bytes.append(text);
            pieces.push_back(piece);
            if (end == pattern.size()) break;
            start = end + 1;
        }
        endsInStar = !pattern.empty() && pattern.back() == '*';
        fitsNoKey = fitsNoKey || pattern.empty();  // the walk finds the empty code itself
        const Piece& head = pieces.front();
        for (std::uint32_t j = 0; j < head.length && j < KeyBytes; ++j) {
            const auto byte = static_cast<unsigned char>(bytes[head.start + j]);
            if (byte == '?') continue;
            headMask |= std::uint64_t{0xFF} << (56 - 8 * j);
            headWant |= std::uint64_t{byte} << (56 - 8 * j);
        }
        const std::size_t minLength = pattern.size() - static_cast<std::size_t>(std::count(
                                                           pattern.begin(), pattern.end(), '*'));
        if (minLength > KeyBytes) fitsNoKey = true;
        if (minLength != 0 && minLength <= KeyBytes) {
            lengthByte = std::uint64_t{0xFF} << (56 - 8 * (minLength - 1));
        }
        // The shapes most patterns take, each with a test of a few operations.
        std::string_view rest =
            pattern.substr(std::min<std::size_t>(pattern.size(), head.length + 1));
        const std::size_t literal = rest.find_first_not_of("?*");
        if (!hasStar) {
            shape = Shape::General;  // not scanned by shape: see Finder::ScanOneLength
        } else if (literal == std::string_view::npos) {
            shape = Shape::LengthOnly;
        } else if (endsInStar && rest.find_first_not_of('*') == literal &&
                   rest.find_first_not_of('*', literal + 1) == std::string_view::npos) {
            shape = Shape::OneByte;
            oneByte = static_cast<unsigned char>(rest[literal]);
        } else if (!endsInStar && pattern.back() != '?') {
            shape = Shape::EndsInByte;
            lastByte = static_cast<unsigned char>(pattern.back());
        }
    }

    enum class Shape {
        LengthOnly,  // after the head only '?' and '*': the code's length decides
        OneByte,     // the head, '*'s, one literal byte, '*'s: the code must hold the byte
        EndsInByte,  // a '*' and a literal last byte: the code's last byte must be it
        General,
    };
    Shape GetShape() const { return shape; }
    bool FitsNoKey() const { return fitsNoKey; }
    std::uint64_t HeadMask() const { return headMask; }
    std::uint64_t HeadWant() const { return headWant; }
    std::uint64_t LengthByte() const { return lengthByte; }
    unsigned char OneByteWanted() const { return oneByte; }
    unsigned char LastByteWanted() const { return lastByte; }
    std::size_t HeadLength() const { return pieces.front().length; }

    // `headKnown`: the bytes before the first '*' are known to start the code. For patterns
    // with a '*' (those without are found by their length).
    bool Matches(std::uint64_t word, bool headKnown) const {
        if (fitsNoKey) return false;
        const std::uint64_t present = Highs & ~ZeroBytes(word);
        const std::uint64_t last = present & ~(present << 8);
        const Piece& head = pieces.front();
        if (!headKnown && head.length != 0 && (Places(head, word, present) & FirstByteBit) == 0) {
            return false;
        }
        std::size_t at = head.length;
        const std::size_t middleEnd = endsInStar ? pieces.size() : pieces.size() - 1;
        for (std::size_t i = 1; i < middleEnd; ++i) {
            const Piece& piece = pieces[i];
            if (piece.length == 0) continue;
            if (at >= KeyBytes) return false;
            const std::uint64_t places =
                Places(piece, word, present) & (~std::uint64_t{0} >> (8 * at));
            if (places == 0) return false;
            at = static_cast<std::size_t>(std::countl_zero(places)) / 8 + piece.length;
        }
        if (endsInStar) return true;
        if (at >= KeyBytes) return false;
        const Piece& tail = pieces.back();
        return (Places(tail, word, present) & (~std::uint64_t{0} >> (8 * at)) &
                (last << (8 * (tail.length - 1)))) != 0;
    }

  private:
    struct Piece {
        std::uint32_t start;  // in `bytes`
        std::uint32_t length;
    };

    // A bit at each byte of the word where the piece starts and fits inside the code.
    std::uint64_t Places(const Piece& piece, std::uint64_t word, std::uint64_t present) const {
        std::uint64_t places = present;
        for (std::uint32_t j = 0; j < piece.length; ++j) {
            const auto byte = static_cast<unsigned char>(bytes[piece.start + j]);
            const std::uint64_t at = byte == '?' ? present : EqualBytes(word, byte);
            places &= at << (8 * j);
        }
        return places;
    }

    std::string bytes;
    std::vector<Piece> pieces;  // the first before the first '*', the last after the last
    bool hasStar = false;
    bool endsInStar = false;
    bool fitsNoKey = false;
    Shape shape = Shape::General;
    std::uint64_t headMask = 0;  // the head's literal bytes (those of its first eight)
    std::uint64_t headWant = 0;
    std::uint64_t lengthByte = 0;  // the byte that holds the last byte the pattern needs
    unsigned char oneByte = 0;
    unsigned char lastByte = 0;
};

// Walks the sorted keys like a tree of their bytes along the pattern's head (the bytes
// before its first '*'): a literal narrows the range to the codes holding it at that
// place, found by binary search; a '?' followed by a literal visits each byte that occurs
// at that place, jumping over the codes that share it. Where nothing narrows further, the
// range left is scanned with the packed test above, or, for a pattern without '*' (which
// has one length), over the codes of that length alone.
class Finder {
  public:
    Finder(const ChardefStore& chardefs, std::string_view query, std::vector<ValueRange>& out)
        : store(chardefs),
          keys(chardefs.KeyData()),
          pattern(query),
          head(std::min(query.find('*'), query.size())),
          hasStar(head != query.size()),
          keyPattern(query),
          ranges(out) {
        // In the key's own places: the eighth byte sits shifted above the flag, and a key
        // cannot hold one of 0x80 or more (such a code is flagged and asked in full).
        for (std::size_t i = 0; i < query.size() && i < KeyBytes; ++i) {
            const auto byte = static_cast<unsigned char>(query[i]);
            if (byte == '?') continue;
            if (i < ChardefStore::HighBytes) {
                literalMask |= std::uint64_t{0xFF} << (56 - 8 * i);
                literalWant |= std::uint64_t{byte} << (56 - 8 * i);
            } else {
                literalMask |= 0xFF;
                literalWant |= byte < 0x80 ? std::uint64_t{byte} << 1 : ChardefStore::LongFlag;
            }
        }
    }

    void Run() { Walk(0, static_cast<std::uint32_t>(store.CodeCount()), 0); }

  private:
    // Below this many codes a scan costs less than the searches that would narrow them.
    static constexpr std::uint32_t SmallRange = 48;

    // Every code in [lo, hi) starts with the same `depth` bytes, none of them zero, and
    // those match the pattern's first `depth` bytes.
    void Walk(std::uint32_t lo, std::uint32_t hi, std::size_t depth) {
        if (lo >= hi) return;
        const std::uint64_t base = keys[lo] & LeadingBytes(depth);
        const std::uint64_t step =
            depth < WalkBytes ? std::uint64_t{1} << (56 - 8 * depth) : std::uint64_t{0};
        if (depth == head || depth == WalkBytes || hi - lo <= SmallRange) {
            Scan(lo, hi, depth >= head);
            return;
        }
        // Codes whose byte here is zero: the code that ends here, and codes holding a zero
        // byte here; neither fits the walk, so each is asked on its own.
        const std::uint32_t from = FirstAtLeast(lo, hi, base + step);
        CheckEach(lo, from);
        const auto byte = static_cast<unsigned char>(pattern[depth]);
        if (byte == 0) return;
        if (byte != '?') {
            const std::uint32_t first = FirstAtLeast(from, hi, base + byte * step);
            const std::uint32_t end =
                byte == 0xFF ? hi : FirstAtLeast(first, hi, base + (byte + 1u) * step);
            Walk(first, end, depth + 1);
            return;
        }
        if (!NarrowsAfter(depth + 1)) {
            Scan(from, hi, false);
            return;
        }
        for (std::uint32_t group = from; group < hi;) {
            const std::uint64_t key = keys[group];
            const std::uint64_t prefix = key & LeadingBytes(depth + 1);
            const bool lastByte = ((key >> (56 - 8 * depth)) & 0xFF) == 0xFF;
            const std::uint32_t end = lastByte ? hi : FirstAtLeast(group + 1, hi, prefix + step);
            Walk(group, end, depth + 1);
            group = end;
        }
    }

    // Whether the head's bytes from `depth` on narrow a range by more than a scan would: a
    // literal the keys hold. A pattern without '*' scans only the codes of its length, so
    // there only a literal next narrows enough to pay for visiting every byte before it.
    bool NarrowsAfter(std::size_t depth) const {
        const std::size_t end = std::min(head, WalkBytes);
        if (!hasStar) return depth < end && pattern[depth] != '?';
        for (std::size_t i = depth; i < end; ++i) {
            if (pattern[i] != '?') return true;
        }
        return false;
    }

    // The first id in [from, hi) whose key is at least `bound`: the keys ascend, and the
    // answer is mostly near `from`, so the search doubles its step before it halves.
    std::uint32_t FirstAtLeast(std::uint32_t from, std::uint32_t hi, std::uint64_t bound) const {
        if (from >= hi || keys[from] >= bound) return from;
        std::size_t below = from;  // keys[below] < bound
        std::size_t stride = 1;
        for (;;) {
            const std::size_t probe = below + stride;
            if (probe >= hi || keys[probe] >= bound) {
                const std::size_t end = std::min<std::size_t>(probe, hi);
                return static_cast<std::uint32_t>(
                    std::lower_bound(keys + below + 1, keys + end, bound) - keys);
            }
            below = probe;
            stride *= 2;
        }
    }

    // Each code of [lo, hi) unpacked and given to the matcher.
    void CheckEach(std::uint32_t lo, std::uint32_t hi) {
        for (std::uint32_t id = lo; id < hi; ++id) {
            if (MatchesInFull(id)) Add(id, id + 1);
        }
    }

    bool MatchesInFull(std::uint32_t id) const {
        ChardefStore::CodeBuffer buffer;
        return MatchWildcard(pattern, store.Code(id, buffer));
    }

    // The codes of [lo, hi) with the packed test that fits the pattern's shape.
    void Scan(std::uint32_t lo, std::uint32_t hi, bool headKnown) {
        if (!hasStar) {
            ScanOneLength(lo, hi);
            return;
        }
        if (keyPattern.FitsNoKey()) {
            ScanBlocks(lo, hi, [](std::uint64_t) { return std::uint64_t{0}; });
            return;
        }
        const std::uint64_t headMask = headKnown ? 0 : keyPattern.HeadMask();
        const std::uint64_t headWant = headKnown ? 0 : keyPattern.HeadWant();
        const auto headMarks = [=](std::uint64_t word) {
            return (word & headMask) == headWant ? ~std::uint64_t{0} : 0;
        };
        const std::uint64_t lengthByte = keyPattern.LengthByte();
        switch (keyPattern.GetShape()) {
            case KeyPattern::Shape::LengthOnly:
                if (headMask == 0) {
                    ScanBlocks(lo, hi, [=](std::uint64_t word) {
                        return lengthByte == 0 ? Highs : NonZeroBytes(word & lengthByte);
                    });
                } else {
                    ScanBlocks(lo, hi, [=](std::uint64_t word) {
                        return headMarks(word) &
                               (lengthByte == 0 ? Highs : NonZeroBytes(word & lengthByte));
                    });
                }
                return;
            case KeyPattern::Shape::OneByte: {
                const unsigned char byte = keyPattern.OneByteWanted();
                // A head of eight bytes leaves no room for the byte: FitsNoKey caught it.
                const std::uint64_t after = ~std::uint64_t{0} >> (8 * keyPattern.HeadLength());
                if (headMask == 0) {
                    ScanBlocks(lo, hi,
                               [=](std::uint64_t word) { return EqualBytes(word, byte) & after; });
                } else {
                    ScanBlocks(lo, hi, [=](std::uint64_t word) {
                        return headMarks(word) & EqualBytes(word, byte) & after;
                    });
                }
                return;
            }
            case KeyPattern::Shape::EndsInByte: {
                const unsigned char byte = keyPattern.LastByteWanted();
                if (store.LastBytes() != nullptr) {
                    ScanLastBytes(lo, hi, byte, [=, this](std::uint64_t word) -> bool {
                        return keyPattern.Matches(word, headKnown);
                    });
                    return;
                }
                // The last byte of a code the key holds alone is its word's lowest set byte.
                ScanBlocks(lo, hi, [=, this](std::uint64_t word) {
                    const auto lowest = static_cast<unsigned char>(
                        word >> (static_cast<unsigned>(std::countr_zero(word)) & 56u));
                    return lowest == byte && keyPattern.Matches(word, headKnown) ? Highs : 0;
                });
                return;
            }
            case KeyPattern::Shape::General:
                break;
        }
        ScanBlocks(lo, hi, [=, this](std::uint64_t word) {
            return keyPattern.Matches(word, headKnown) ? Highs : 0;
        });
    }

    // The codes of [lo, hi) as long as the pattern, which has no '*': the codes of that
    // length are read from their bits, and those the key holds alone are tested on the
    // pattern's literal bytes; flagged ones go to the matcher. In a table that keeps its
    // codes' last bytes, a literal last byte is tested there first, and the keys and runs
    // a stretch of blocks needs are asked for together, so that these scattered reads
    // overlap.
    void ScanOneLength(std::uint32_t lo, std::uint32_t hi) {
        const auto& flagged = store.FlaggedCodes();
        auto next = std::lower_bound(
            flagged.begin(), flagged.end(), lo,
            [](const ChardefStore::LongCode& code, std::uint32_t id) { return code.id < id; });
        const std::size_t length = pattern.size();
        if (length > KeyBytes) {
            for (; next != flagged.end() && next->id < hi; ++next) {
                if (next->length == length && MatchesInFull(next->id)) Add(next->id, next->id + 1);
            }
            return;
        }
        const std::uint64_t* const lengthBits = store.LengthBits(length);
        if (lengthBits == nullptr) return;
        const auto codeCount = static_cast<std::uint32_t>(store.CodeCount());
        const unsigned char* const lastBytes = pattern.back() != '?' ? store.LastBytes() : nullptr;
        const auto lastByte = static_cast<unsigned char>(pattern.back());
        // The last byte tested there need not be tested on the key again.
        const std::uint64_t keyMask =
            lastBytes == nullptr ? literalMask : literalMask & ~LiteralPlace(length - 1);
        const std::uint64_t keyWant = literalWant & keyMask;
        const bool askAhead = lastBytes != nullptr;

        constexpr std::uint32_t StretchBlocks = 16;
        for (std::uint32_t start = lo & ~63u; start < hi; start += 64 * StretchBlocks) {
            std::uint64_t candidates[StretchBlocks];
            std::uint64_t undecidedOf[StretchBlocks] = {};
            const std::uint32_t blocks =
                std::min<std::uint32_t>(StretchBlocks, (hi - start + 63) / 64);
            for (std::uint32_t b = 0; b < blocks; ++b) {
                const std::uint32_t block = start + 64 * b;
                std::uint64_t found = lengthBits[block / 64];
                if (block < lo) found &= ~std::uint64_t{0} << (lo - block);
                if (hi - block < 64) found &= (std::uint64_t{1} << (hi - block)) - 1;
                if (found != 0 && lastBytes != nullptr) {
                    found &= LastByteMarks(lastBytes, block, codeCount, lastByte);
                }
                candidates[b] = found;
                if (askAhead && keyMask != 0) {
                    for (; found != 0; found &= found - 1) {
                        Prefetch(keys + block + static_cast<unsigned>(std::countr_zero(found)));
                    }
                }
            }
            for (std::uint32_t b = 0; b < blocks; ++b) {
                const std::uint32_t block = start + 64 * b;
                if (candidates[b] == 0) continue;
                while (next != flagged.end() && next->id < block) ++next;  // in blocks passed over
                std::uint64_t undecided = 0;
                for (; next != flagged.end() && next->id < block + 64; ++next) {
                    undecided |= std::uint64_t{1} << (next->id - block);
                }
                undecided &= candidates[b];
                const std::uint64_t accepted =
                    keyMask == 0 ? candidates[b]
                                 : Takes(block, candidates[b], codeCount, keyMask, keyWant);
                if (askAhead) {
                    for (std::uint64_t left = accepted; left != 0; left &= left - 1) {
                        Prefetch(store.RunStartPlace(
                            block + static_cast<unsigned>(std::countr_zero(left))));
                    }
                }
                candidates[b] = accepted & ~undecided;
                undecidedOf[b] = undecided;
            }
            for (std::uint32_t b = 0; b < blocks; ++b) {
                if (candidates[b] != 0 || undecidedOf[b] != 0) {
                    Settle(start + 64 * b, candidates[b], undecidedOf[b]);
                }
            }
        }
    }

    // The bits of the key a literal at `place` of a pattern without '*' is tested in.
    static std::uint64_t LiteralPlace(std::size_t place) {
        return place < ChardefStore::HighBytes ? std::uint64_t{0xFF} << (56 - 8 * place) : 0xFF;
    }

    // The candidates of a block whose keys take the literal bytes.
    std::uint64_t Takes(std::uint32_t block, std::uint64_t candidates, std::uint32_t codeCount,
                        std::uint64_t mask, std::uint64_t want) const {
        std::uint64_t accepted = 0;
        if (std::popcount(candidates) >= 16 && codeCount - block >= 64) {
            // Most of the block: every key tested, without a branch.
            const std::uint64_t* const at = keys + block;
            for (std::uint32_t i = 0; i < 64; ++i) {
                accepted |= std::uint64_t{(at[i] & mask) == want} << i;
            }
            return accepted & candidates;
        }
        for (std::uint64_t left = candidates; left != 0; left &= left - 1) {
            const auto i = static_cast<unsigned>(std::countr_zero(left));
            accepted |= std::uint64_t{(keys[block + i] & mask) == want} << i;
        }
        return accepted;
    }

    // A bit for each code of the 64 from `block` (none from `end` on) whose last byte is
    // `byte`.
    static std::uint64_t LastByteMarks(const unsigned char* lastBytes, std::uint32_t block,
                                       std::uint32_t end, unsigned char byte) {
        std::uint64_t marks = 0;
        if (end - block >= 64) {
            for (std::uint32_t group = 0; group < 64; group += 8) {
                marks |= PackMarks(EqualBytes(Load8(lastBytes + block + group), byte)) << group;
            }
            return marks;
        }
        for (std::uint32_t i = 0; block + i < end; ++i) {
            marks |= std::uint64_t{lastBytes[block + i] == byte} << i;
        }
        return marks;
    }

    // The codes of [lo, hi) 64 at a time. `marks` gives a code (its CodeWord) a word that is
    // not zero when the packed test takes it, its set bits only the bytes' high bits; eight
    // such words, each moved by its place in the group, fold into a byte of eight flags
    // without a branch. The codes the packed test cannot decide (a code the key does not
    // hold alone, or one holding a '*' byte when the pattern has a '*') go to the matcher;
    // runs of accepted codes become ranges.
    template <typename Marks>
    void ScanBlocks(std::uint32_t lo, std::uint32_t hi, Marks marks) {
        // Without codes of eight bytes a key the matcher does not take is its CodeWord.
        if (store.LengthBits(KeyBytes) == nullptr) {
            ScanBlocks(lo, hi, marks, [](std::uint64_t key) { return key; });
        } else {
            ScanBlocks(lo, hi, marks, ChardefStore::CodeWord);
        }
    }

    template <typename Marks, typename WordOf>
    void ScanBlocks(std::uint32_t lo, std::uint32_t hi, Marks marks, WordOf wordOf) {
        const std::uint64_t starAsks =
            hasStar && store.ShortCodesHoldStar() ? ~std::uint64_t{0} : 0;
        const bool mayAsk = store.HasLongCodes() || starAsks != 0;
        const auto asks = [=](std::uint64_t key) {
            return std::uint64_t{
                ((key & ChardefStore::LongFlag) | (EqualBytes(wordOf(key), '*') & starAsks)) != 0};
        };
        for (std::uint32_t block = lo; block < hi; block += 64) {
            const std::uint32_t count = std::min<std::uint32_t>(64, hi - block);
            const std::uint64_t* const at = keys + block;
            std::uint64_t accepted = 0;
            std::uint64_t undecided = 0;
            if (count == 64) {
                // The marks first, in a loop of plain word operations the compiler may run
                // on several keys at once.
                std::uint64_t marked[64];
                for (std::uint32_t i = 0; i < 64; ++i) marked[i] = marks(wordOf(at[i]));
                for (std::uint32_t group = 0; group < 64; group += 8) {
                    std::uint64_t flags = 0;
                    for (std::uint32_t i = 0; i < 8; ++i) flags |= marked[group + i] >> (7 - i);
                    flags |= flags >> 32;
                    flags |= flags >> 16;
                    flags |= flags >> 8;
                    accepted |= (flags & 0xFF) << group;
                }
                if (mayAsk) {
                    for (std::uint32_t i = 0; i < 64; ++i) undecided |= asks(at[i]) << i;
                }
            } else {
                for (std::uint32_t i = 0; i < count; ++i) {
                    accepted |= std::uint64_t{marks(wordOf(at[i])) != 0} << i;
                    undecided |= asks(at[i]) << i;
                }
            }
            Settle(block, accepted, undecided);
        }
    }

    // The codes of [lo, hi) whose last byte is `byte`, from the table's last bytes; each
    // such code then takes the packed test, or the matcher. The candidates of a stretch
    // are found first and their keys asked for together, so that the cache misses of
    // these scattered reads overlap.
    template <typename Accepts>
    void ScanLastBytes(std::uint32_t lo, std::uint32_t hi, unsigned char byte, Accepts accepts) {
        const unsigned char* const lastBytes = store.LastBytes();
        const bool starAsks = hasStar && store.ShortCodesHoldStar();
        constexpr std::uint32_t Stretch = 1024;
        std::uint64_t candidates[Stretch / 64];
        for (std::uint32_t start = lo; start < hi; start += Stretch) {
            const std::uint32_t blocks = (std::min(Stretch, hi - start) + 63) / 64;
            for (std::uint32_t b = 0; b < blocks; ++b) {
                const std::uint32_t block = start + 64 * b;
                std::uint64_t found = LastByteMarks(lastBytes, block, hi, byte);
                candidates[b] = found;
                for (; found != 0; found &= found - 1) {
                    Prefetch(keys + block + static_cast<unsigned>(std::countr_zero(found)));
                }
            }
            // The runs of the codes taken are asked for before they are read, likewise.
            std::uint64_t accepted[Stretch / 64];
            std::uint64_t undecided[Stretch / 64];
            for (std::uint32_t b = 0; b < blocks; ++b) {
                const std::uint32_t block = start + 64 * b;
                accepted[b] = 0;
                undecided[b] = 0;
                for (std::uint64_t found = candidates[b]; found != 0; found &= found - 1) {
                    const auto i = static_cast<unsigned>(std::countr_zero(found));
                    const std::uint64_t key = keys[block + i];
                    const std::uint64_t word = ChardefStore::CodeWord(key);
                    if ((key & ChardefStore::LongFlag) != 0 ||
                        (starAsks && EqualBytes(word, '*') != 0)) {
                        undecided[b] |= std::uint64_t{1} << i;
                    } else if (accepts(word)) {
                        accepted[b] |= std::uint64_t{1} << i;
                        Prefetch(store.RunStartPlace(block + i));
                    }
                }
            }
            for (std::uint32_t b = 0; b < blocks; ++b) {
                Settle(start + 64 * b, accepted[b], undecided[b]);
            }
        }
    }

    // Gives the undecided codes of a block to the matcher and adds the runs accepted.
    void Settle(std::uint32_t block, std::uint64_t accepted, std::uint64_t undecided) {
        accepted &= ~undecided;
        for (; undecided != 0; undecided &= undecided - 1) {
            const auto i = static_cast<unsigned>(std::countr_zero(undecided));
            if (MatchesInFull(block + i)) accepted |= std::uint64_t{1} << i;
        }
        while (accepted != 0) {
            const auto first = static_cast<unsigned>(std::countr_zero(accepted));
            const auto length = static_cast<unsigned>(std::countr_one(accepted >> first));
            Add(block + first, block + first + length);
            if (first + length >= 64) break;
            accepted &= ~std::uint64_t{0} << (first + length);
        }
    }

    // Eight bytes in memory order, the first the least significant.
    static std::uint64_t Load8(const void* bytes) {
        unsigned char b[8];
        std::memcpy(b, bytes, sizeof b);
        std::uint64_t word = 0;
        for (int i = 7; i >= 0; --i) word = (word << 8) | b[i];
        return word;
    }

    // The high bits of a word's eight bytes as eight bits, the first byte's lowest: the
    // multiplier moves the bit of byte k to bit 56 + k, and no two products meet.
    static std::uint64_t PackMarks(std::uint64_t marks) {
        return ((marks >> 7) * 0x0102040810204080ULL) >> 56;
    }

    // The values of the codes [lo, hi), joined to the range before when they follow it.
    void Add(std::uint32_t lo, std::uint32_t hi) {
        const std::uint32_t first = store.RunStart(lo);
        const std::uint32_t last = store.RunStart(hi);
        if (!ranges.empty() && ranges.back().last == first) {
            ranges.back().last = last;
        } else {
            ranges.push_back({first, last});
        }
    }

    const ChardefStore& store;
    const std::uint64_t* keys;
    std::string_view pattern;
    std::size_t head;  // bytes before the first '*'
    bool hasStar;
    KeyPattern keyPattern;
    std::vector<ValueRange>& ranges;
    // The literal bytes of a pattern without '*' among its first eight, as the key holds
    // them: a key the matcher need not ask takes the pattern when its masked bits are these.
    std::uint64_t literalMask = 0;
    std::uint64_t literalWant = 0;
};

}  // namespace

void FindWildcardValues(const ChardefStore& store, std::string_view pattern,
                        std::vector<ValueRange>& ranges) {
    if (store.CodeCount() == 0) return;
    Finder(store, pattern, ranges).Run();
}
