// The correction of a copy run: aligning what was typed with a QSO of about 2,000 signs, as
// Return in the copy window does; the goal is 2 ms at most. Three answers: a perfect copy, one
// with an error every 50 signs (missed, extra and wrong in turn) and its prosigns typed as two
// letters, and a poor one with an error every 8 signs.
#include "material/CopyMaterial.h"
#include "morse/MorseTable.h"
#include "practice/CopyAlignment.h"
#include "render/TextFolder.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

struct Run {
    std::vector<int32_t> played;
    std::string typed;
};

// The overs of seeded QSOs up to 2,000 signs, and an answer with an error every `every` signs.
Run QsoRun(int every, bool spellProsigns) {
    CopyMaterial material(2026);
    std::string text;
    for (int count = 1; text.size() < 3000; ++count) {
        text = material.Qso(count, QsoGenerator::Language::English);
    }
    Run run;
    int n = 0;
    for (const char slot : TextFolder::Fold(text)) {
        if (slot == TextFolder::kSpace) {
            run.typed += ' ';
            continue;
        }
        const int32_t sign = TextFolder::SignOfSlot(slot);
        run.played.push_back(sign);
        std::string name(MorseTable().SignName(sign));
        if (spellProsigns && name.size() == 4) {
            name = name.substr(1, 2);
        }
        ++n;
        if (every > 0 && n % every == 0) {
            switch ((n / every) % 3) {
            case 0:
                continue; // missed
            case 1:
                run.typed += name + "E"; // an extra E
                continue;
            default:
                run.typed += name == "T" ? "E" : "T"; // wrong
                continue;
            }
        }
        run.typed += name;
        if (run.played.size() == 2000) {
            break;
        }
    }
    return run;
}

void AlignQso(benchmark::State& state, int every, bool spellProsigns) {
    const Run run = QsoRun(every, spellProsigns);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CopyAlignment::Align(run.played, run.typed));
    }
    state.counters["signs"] = static_cast<double>(run.played.size());
    state.counters["edits"] = CopyAlignment::Distance(run.played, run.typed);
}

} // namespace

BENCHMARK_CAPTURE(AlignQso, perfect, 0, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(AlignQso, every50_prosigns_spelled, 50, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(AlignQso, every8, 8, false)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
