#include "practice/CopyAlignment.h"

#include "morse/MorseTable.h"
#include "render/TextFolder.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr int32_t kInfinite = std::numeric_limits<int32_t>::max() / 2;
constexpr int32_t kFirstBand = 16;     // [cells] either side of the diagonal, doubled as needed
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

int32_t Plus() {
    return MorseTable().IndexOfSign("+");
}
int32_t Equals() {
    return MorseTable().IndexOfSign("=");
}
int32_t Ar() {
    return MorseTable().IndexOfSign("<AR>");
}
int32_t Bt() {
    return MorseTable().IndexOfSign("<BT>");
}

bool SameSound(int32_t played, int32_t typed) {
    if (typed == MorseTable::kNoIndex) {
        return false;
    }
    if (played == typed) {
        return true;
    }
    const auto pair = [&](int32_t a, int32_t b) { return (played == a && typed == b) || (played == b && typed == a); };
    return pair(Ar(), Plus()) || pair(Bt(), Equals());
}

// Whether two typed slots spell a prosign played: A R for <AR>.
bool SpellsProsign(int32_t played, const TypedSlot& first, const TypedSlot& second) {
    if (played < MorseTable::kFirstProsign || played >= MorseTable::kSignCount) {
        return false;
    }
    const std::string_view name = MorseTable().SignName(played); // "<AR>"
    return first.text.size() == 1 && second.text.size() == 1 && first.text[0] == name[1] && second.text[0] == name[2];
}

enum Step : uint8_t { kCopied, kMissed, kExtra, kSpelled };

// The banded table: cost[i][k] for played prefix i and typed prefix j = i + k - band.
class Table {
public:
    Table(const std::vector<int32_t>& played, const std::vector<TypedSlot>& typed, int32_t band)
        : played(played), typed(typed), band(band), width(2 * band + 1),
          cost(static_cast<size_t>(played.size() + 1) * static_cast<size_t>(width), kInfinite),
          step(cost.size(), kCopied) {
        Fill();
    }

    int32_t Distance() const { return At(static_cast<int32_t>(played.size()), static_cast<int32_t>(typed.size())); }

    std::vector<CopyAlignment::Mark> Trace() const {
        std::vector<CopyAlignment::Mark> marks(played.size());
        int32_t i = static_cast<int32_t>(played.size());
        int32_t j = static_cast<int32_t>(typed.size());
        while (i > 0 || j > 0) {
            const size_t cell = Index(i, j);
            const Step s = i == 0 ? kExtra : j == 0 ? kMissed : step[cell];
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
    bool InBand(int32_t i, int32_t j) const { return j >= 0 && std::abs(j - i) <= band; }
    size_t Index(int32_t i, int32_t j) const {
        return static_cast<size_t>(i) * static_cast<size_t>(width) + static_cast<size_t>(j - i + band);
    }
    int32_t At(int32_t i, int32_t j) const { return InBand(i, j) ? cost[Index(i, j)] : kInfinite; }

    void Fill() {
        const auto n = static_cast<int32_t>(played.size());
        const auto m = static_cast<int32_t>(typed.size());
        for (int32_t i = 0; i <= n; ++i) {
            const int32_t from = std::max(0, i - band);
            const int32_t to = std::min(m, i + band);
            for (int32_t j = from; j <= to; ++j) {
                const size_t cell = Index(i, j);
                if (i == 0 || j == 0) {
                    cost[cell] = i + j;
                    step[cell] = i == 0 ? kExtra : kMissed;
                    continue;
                }
                const int32_t p = played[static_cast<size_t>(i - 1)];
                // In order of preference on equal cost.
                int32_t best = At(i - 1, j - 1) + (SameSound(p, typed[static_cast<size_t>(j - 1)].sign) ? 0 : 1);
                Step how = kCopied;
                if (j >= 2 && SpellsProsign(p, typed[static_cast<size_t>(j - 2)], typed[static_cast<size_t>(j - 1)]) &&
                    At(i - 1, j - 2) < best) {
                    best = At(i - 1, j - 2);
                    how = kSpelled;
                }
                if (At(i - 1, j) + 1 < best) {
                    best = At(i - 1, j) + 1;
                    how = kMissed;
                }
                if (At(i, j - 1) + 1 < best) {
                    best = At(i, j - 1) + 1;
                    how = kExtra;
                }
                cost[cell] = best;
                step[cell] = how;
            }
        }
    }

    const std::vector<int32_t>& played;
    const std::vector<TypedSlot>& typed;
    int32_t band;
    int32_t width;
    std::vector<int32_t> cost;
    std::vector<Step> step;
};

// The smallest band that holds an optimal alignment. A missed sign moves a path one cell
// below the diagonal and an extra character one above, each for one edit; a prosign spelled
// in two letters moves it one above for free, at most once per prosign played. So a path that
// leaves a band of half-width w costs at least w + 1 - (prosigns played), and a distance below
// that is exact.
Table Solve(const std::vector<int32_t>& played, const std::vector<TypedSlot>& typed) {
    const auto n = static_cast<int32_t>(played.size());
    const auto m = static_cast<int32_t>(typed.size());
    const auto prosigns = static_cast<int32_t>(
        std::count_if(played.begin(), played.end(), [](int32_t sign) { return sign >= MorseTable::kFirstProsign; }));
    int32_t band = std::max(kFirstBand, std::abs(n - m)) + prosigns;
    for (;;) {
        Table table(played, typed, band);
        if (table.Distance() <= band - prosigns || band >= std::max(n, m)) {
            return table;
        }
        band *= 2;
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
