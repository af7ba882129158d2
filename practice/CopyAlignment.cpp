#include "practice/CopyAlignment.h"

#include "morse/MorseTable.h"
#include "render/TextFolder.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr int32_t kInfinite = std::numeric_limits<int32_t>::max() / 2;
constexpr int32_t kFirstEdits = 16;    // the table is first sized for, then doubled as needed
constexpr const char* kNotASign = "*"; // what is shown for a typed character that is no sign

// The typed text as sign slots without spaces, each with the characters the user typed for it.
struct TypedSlot {
    int32_t sign; // kNoIndex for a character that is no sign
    std::string text;
};

std::vector<TypedSlot> TypedSlots(std::string_view typed) {
    const std::string folded = TextFolder::Fold(typed);
    std::vector<TypedSlot> slots;
    for (const char slot : folded) {
        if (slot == TextFolder::kSpace) {
            continue;
        }
        const int32_t sign = TextFolder::SignOfSlot(slot);
        const std::string_view name = MorseTable().SignName(sign);
        slots.push_back({sign, name.empty() ? std::string(kNotASign) : std::string(name)});
    }
    return slots;
}

// The signs that sound alike, and the letters of each prosign, looked up once.
struct SignNames {
    int32_t plus = MorseTable().IndexOfSign("+");
    int32_t equals = MorseTable().IndexOfSign("=");
    int32_t ar = MorseTable().IndexOfSign("<AR>");
    int32_t bt = MorseTable().IndexOfSign("<BT>");
    // The two letters of each prosign, as sign indices: A and R for <AR>.
    int32_t letters[MorseTable::kSignCount - MorseTable::kFirstProsign][2] = {};

    SignNames() {
        for (int32_t sign = MorseTable::kFirstProsign; sign < MorseTable::kSignCount; ++sign) {
            const std::string_view name = MorseTable().SignName(sign); // "<AR>"
            letters[sign - MorseTable::kFirstProsign][0] = MorseTable().IndexOfChar(name[1]);
            letters[sign - MorseTable::kFirstProsign][1] = MorseTable().IndexOfChar(name[2]);
        }
    }
};
const SignNames kNames;

bool SameSound(int32_t played, int32_t typed) {
    if (played == typed) {
        return typed != MorseTable::kNoIndex;
    }
    const auto pair = [&](int32_t a, int32_t b) { return (played == a && typed == b) || (played == b && typed == a); };
    return pair(kNames.ar, kNames.plus) || pair(kNames.bt, kNames.equals);
}

// Whether two typed slots spell a prosign played: A R for <AR>.
bool SpellsProsign(int32_t played, const TypedSlot& first, const TypedSlot& second) {
    if (played < MorseTable::kFirstProsign || played >= MorseTable::kSignCount) {
        return false;
    }
    const int32_t* letters = kNames.letters[played - MorseTable::kFirstProsign];
    return first.sign == letters[0] && second.sign == letters[1];
}

enum Step : uint8_t { kCopied, kMissed, kExtra, kSpelled };

// The table of the dynamic programme for an alignment of at most `edits` edits: the cost of
// cell (i, j) is that of aligning the first i signs played and the first j typed slots, over the cells that such an
// alignment can cross. Along a path, a missed sign moves one cell below the diagonal (j - i falls by one), an extra
// character one above, and a prosign spelled in two letters one above for free, which only a prosign played can do. So
// at row i, with P_i prosigns among the first i signs and P in all, j - i lies between -edits and P_i + edits, and,
// looking from the end, between (m - n) - (P - P_i) - edits and (m - n) + edits. A distance found within `edits` is
// therefore exact; each row holds at most 2 edits + 1 cells when the prosigns are all spelled
// or none.
class Table {
public:
    Table(const std::vector<int32_t>& played, const std::vector<TypedSlot>& typed, int32_t edits)
        : played(played), typed(typed), n(static_cast<int32_t>(played.size())), m(static_cast<int32_t>(typed.size())) {
        Bound(edits);
        Fill();
    }

    int32_t Distance() const { return distance; }

    std::vector<CopyAlignment::Mark> Trace() const {
        std::vector<CopyAlignment::Mark> marks(played.size());
        int32_t i = n;
        int32_t j = m;
        while (i > 0 || j > 0) {
            const Step s = i == 0 ? kExtra : j == 0 ? kMissed : step[Index(i, j)];
            const auto p = static_cast<size_t>(i - 1);
            if (s == kCopied) {
                const TypedSlot& t = typed[static_cast<size_t>(j - 1)];
                marks[p] = {played[p], t.text, t.sign, SameSound(played[p], t.sign)};
                --i;
                --j;
            } else if (s == kSpelled) {
                const std::string text =
                    typed[static_cast<size_t>(j - 2)].text + typed[static_cast<size_t>(j - 1)].text;
                marks[p] = {played[p], text, played[p], true};
                --i;
                j -= 2;
            } else if (s == kMissed) {
                marks[p] = {played[p], "", MorseTable::kNoIndex, false};
                --i;
            } else {
                --j;
            }
        }
        return marks;
    }

private:
    // The columns of each row and where each row begins in the flat arrays.
    void Bound(int32_t edits) {
        int32_t prosigns = 0;
        for (const int32_t sign : played) {
            prosigns += sign >= MorseTable::kFirstProsign ? 1 : 0;
        }
        first.resize(static_cast<size_t>(n) + 1);
        last.resize(static_cast<size_t>(n) + 1);
        start.resize(static_cast<size_t>(n) + 2);
        int32_t before = 0; // prosigns among the first i signs
        size_t cells = 0;
        for (int32_t i = 0; i <= n; ++i) {
            const int32_t low = std::max(-edits, (m - n) - (prosigns - before) - edits);
            const int32_t high = std::min(before + edits, (m - n) + edits);
            first[static_cast<size_t>(i)] = std::max(0, i + low);
            last[static_cast<size_t>(i)] = std::min(m, i + high);
            start[static_cast<size_t>(i)] = cells;
            cells += static_cast<size_t>(std::max(0, last[static_cast<size_t>(i)] - first[static_cast<size_t>(i)] + 1));
            if (i < n) {
                before += played[static_cast<size_t>(i)] >= MorseTable::kFirstProsign ? 1 : 0;
            }
        }
        step.assign(cells, kCopied);
    }

    size_t Index(int32_t i, int32_t j) const {
        return start[static_cast<size_t>(i)] + static_cast<size_t>(j - first[static_cast<size_t>(i)]);
    }
    // Row by row, keeping the costs of the row above only; the steps of every cell stay for
    // the trace.
    void Fill() {
        std::vector<int32_t> above;
        std::vector<int32_t> row;
        for (int32_t i = 0; i <= n; ++i) {
            const int32_t from = first[static_cast<size_t>(i)];
            const int32_t to = last[static_cast<size_t>(i)];
            const int32_t aboveFrom = i > 0 ? first[static_cast<size_t>(i - 1)] : 0;
            const int32_t aboveTo = i > 0 ? last[static_cast<size_t>(i - 1)] : -1;
            const auto costAbove = [&](int32_t j) {
                return j < aboveFrom || j > aboveTo ? kInfinite : above[static_cast<size_t>(j - aboveFrom)];
            };
            row.assign(static_cast<size_t>(std::max(0, to - from + 1)), kInfinite);
            for (int32_t j = from; j <= to; ++j) {
                int32_t best = 0;
                Step how = kCopied;
                if (i == 0 || j == 0) {
                    best = i + j;
                    how = i == 0 ? kExtra : kMissed;
                } else {
                    const int32_t p = played[static_cast<size_t>(i - 1)];
                    const TypedSlot& t = typed[static_cast<size_t>(j - 1)];
                    // In order of preference on equal cost.
                    best = costAbove(j - 1) + (SameSound(p, t.sign) ? 0 : 1);
                    if (p >= MorseTable::kFirstProsign && j >= 2 && costAbove(j - 2) < best &&
                        SpellsProsign(p, typed[static_cast<size_t>(j - 2)], t)) {
                        best = costAbove(j - 2);
                        how = kSpelled;
                    }
                    const int32_t missed = costAbove(j) + 1;
                    if (missed < best) {
                        best = missed;
                        how = kMissed;
                    }
                    const int32_t extra = j > from ? row[static_cast<size_t>(j - 1 - from)] + 1 : kInfinite;
                    if (extra < best) {
                        best = extra;
                        how = kExtra;
                    }
                }
                row[static_cast<size_t>(j - from)] = best;
                step[Index(i, j)] = how;
            }
            above.swap(row);
        }
        distance = m >= first[static_cast<size_t>(n)] && m <= last[static_cast<size_t>(n)]
                       ? above[static_cast<size_t>(m - first[static_cast<size_t>(n)])]
                       : kInfinite;
    }

    const std::vector<int32_t>& played;
    const std::vector<TypedSlot>& typed;
    int32_t n;
    int32_t m;
    std::vector<int32_t> first; // [columns] of each row
    std::vector<int32_t> last;
    std::vector<size_t> start; // of each row in step
    std::vector<Step> step;    // how each cell is reached
    int32_t distance = kInfinite;
};

// The smallest table that holds an optimal alignment: sized for kFirstEdits; when the distance
// found exceeds that, sized again for the distance found, which the best alignment cannot
// exceed (or, when no alignment fitted, for twice as many edits).
Table Solve(const std::vector<int32_t>& played, const std::vector<TypedSlot>& typed) {
    const auto most = static_cast<int32_t>(played.size() + typed.size());
    for (int32_t edits = kFirstEdits;;) {
        Table table(played, typed, edits);
        const int32_t distance = table.Distance();
        if (distance <= edits || edits >= most) {
            return table;
        }
        edits = std::min(distance < kInfinite ? distance : 2 * edits, most);
    }
}

} // namespace

std::vector<CopyAlignment::Mark> CopyAlignment::Align(const std::vector<int32_t>& played, std::string_view typed) {
    const std::vector<TypedSlot> slots = TypedSlots(typed);
    return Solve(played, slots).Trace();
}

int32_t CopyAlignment::Distance(const std::vector<int32_t>& played, std::string_view typed) {
    const std::vector<TypedSlot> slots = TypedSlots(typed);
    return Solve(played, slots).Distance();
}
