#include "settings/Settings.h"

#include <algorithm>
#include <cmath>

namespace {

int32_t Clamp(int32_t value, int32_t lowest, int32_t highest) {
    if (value < lowest) {
        return lowest;
    }
    if (value > highest) {
        return highest;
    }
    return value;
}

// value when it lies from lowest to highest, else fallback.
int32_t InRangeOr(int32_t value, int32_t lowest, int32_t highest, int32_t fallback) {
    return value >= lowest && value <= highest ? value : fallback;
}

} // namespace

void Settings::Validate() {
    const Settings defaults;
    // A frequency out of range is ignored, not clamped: the default stays.
    if (!(frequency >= kFrequencyLowest && frequency <= kFrequencyHighest)) {
        frequency = defaults.frequency;
    }
    if (driverId < kDriverIdLowest || driverId > kDriverIdHighest) {
        driverId = defaults.driverId;
    }
    dihMs = Clamp(dihMs, kLengthLowestMs, kLengthHighestMs);
    dahMs = Clamp(dahMs, kLengthLowestMs, kLengthHighestMs);
    pauseMs = Clamp(pauseMs, kLengthLowestMs, kLengthHighestMs);
    dictationIntervalMs = Clamp(dictationIntervalMs, kIntervalLowestMs, kIntervalHighestMs);
    if (!(volume >= kVolumeLowest)) {
        volume = kVolumeLowest;
    }
    if (volume > kVolumeHighest) {
        volume = kVolumeHighest;
    }
    if (softOnset != kSoftOnsetOn) {
        softOnset = kSoftOnsetOff;
    }
    if (kochLesson < kKochLessonLowest || kochLesson > kKochLessonHighest) {
        kochLesson = defaults.kochLesson;
    }
    if (adaptive != 1) {
        adaptive = defaults.adaptive;
    }
    if (copyMaterial < 0 || copyMaterial > kCopyMaterialHighest) {
        copyMaterial = defaults.copyMaterial;
    }
    if (copyWpm < kCopyWpmLowest || copyWpm > kCopyWpmHighest) {
        copyWpm = defaults.copyWpm;
    }
    if (copyFarnsworth != 0 && (copyFarnsworth < kCopyFarnsworthLowest || copyFarnsworth > copyWpm)) {
        copyFarnsworth = defaults.copyFarnsworth;
    }
    if (copyCount < kCopyCountLowest || copyCount > kCopyCountHighest) {
        copyCount = defaults.copyCount;
    }
    if (copyAutoSpeed != 1) {
        copyAutoSpeed = defaults.copyAutoSpeed;
    }
    band.on = InRangeOr(band.on, 0, 1, defaults.band.on);
    band.snrDb = InRangeOr(band.snrDb, kBandSnrLowestDb, kBandSnrHighestDb, defaults.band.snrDb);
    band.qsbPercent = InRangeOr(band.qsbPercent, 0, kBandQsbHighestPercent, defaults.band.qsbPercent);
    band.qsbPeriodS =
        InRangeOr(band.qsbPeriodS, kBandQsbPeriodLowestS, kBandQsbPeriodHighestS, defaults.band.qsbPeriodS);
    band.qrmStations = InRangeOr(band.qrmStations, 0, kBandQrmHighest, defaults.band.qrmStations);
    band.qrnPerMinute = InRangeOr(band.qrnPerMinute, 0, kBandQrnHighestPerMinute, defaults.band.qrnPerMinute);
    if (keyerMode < 0 || keyerMode > kKeyerModeHighest) {
        keyerMode = defaults.keyerMode;
    }
    if (keyerWpm < kKeyerWpmLowest || keyerWpm > kKeyerWpmHighest) {
        keyerWpm = defaults.keyerWpm;
    }
    if (keyerSwap != 0 && keyerSwap != 1) {
        keyerSwap = defaults.keyerSwap;
    }
}

float Settings::VolumeOfSliderPosition(int32_t position) {
    return static_cast<float>(position) * 0.01f;
}

int32_t Settings::SliderPositionOfVolume(float volume) {
    return static_cast<int32_t>(std::lround(std::clamp(static_cast<double>(volume), 0.0, 1.0) * 100.0));
}

int32_t Settings::StoredVolume(float volume) {
    // Saturates where the thousandths leave int32_t (a volume held in memory is never
    // validated before it is saved); NaN is stored as 0.
    const double thousandths = static_cast<double>(volume) * 1000.0;
    if (std::isnan(thousandths)) {
        return 0;
    }
    return static_cast<int32_t>(std::lround(std::clamp(thousandths, -2147483648.0, 2147483647.0)));
}
