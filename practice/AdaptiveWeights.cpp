#include "practice/AdaptiveWeights.h"

#include <algorithm>

double AdaptiveWeights::WeightOf(const std::vector<AnswerRecord>& newestFirst) {
    const size_t n = std::min(newestFirst.size(), static_cast<size_t>(kWindow));
    if (n < static_cast<size_t>(kWeakBelow)) {
        return kMaxWeight;
    }
    int32_t wrong = 0;
    std::vector<int64_t> responsesMs;
    for (size_t i = 0; i < n; ++i) {
        const AnswerRecord& r = newestFirst[i];
        if (r.typed == 0 || r.typed != r.played) {
            ++wrong;
        }
        if (r.responseMs >= 0) {
            responsesMs.push_back(r.responseMs);
        }
    }
    double slowness = 1.0;
    if (!responsesMs.empty()) {
        const size_t half = responsesMs.size() / 2;
        std::nth_element(responsesMs.begin(), responsesMs.begin() + half, responsesMs.end());
        double medianMs = static_cast<double>(responsesMs[half]);
        if (responsesMs.size() % 2 == 0) {
            const int64_t lower = *std::max_element(responsesMs.begin(), responsesMs.begin() + half);
            medianMs = (medianMs + static_cast<double>(lower)) / 2.0;
        }
        slowness = std::min(medianMs / static_cast<double>(kSlowMs), 1.0);
    }
    const double errorRate = static_cast<double>(wrong) / static_cast<double>(n);
    return kFloor + kErrorGain * errorRate + kSlowGain * slowness;
}
