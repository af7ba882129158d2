#include "band/ReceiverFilter.h"

#include <cmath>
#include <complex>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The Q of the two pole pairs of a 4th-order Butterworth filter: 1 / (2 cos(pi/8)) and
// 1 / (2 cos(3 pi/8)).
constexpr double kSectionQ[2] = {0.54119610014619698, 1.3065629648763766};
constexpr double kIntegrationStepHz = 0.5; // [Hz] of the numerical integral of the response

// A low-pass section with its corner at cornerHz (bilinear transform, corner pre-warped).
ReceiverFilter::Section LowPass(double cornerHz, double q, int32_t sampleRate) {
    const double w0 = 2.0 * kPi * cornerHz / sampleRate;
    const double alpha = std::sin(w0) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    ReceiverFilter::Section section;
    section.b0 = (1.0 - std::cos(w0)) / 2.0 / a0;
    section.b1 = (1.0 - std::cos(w0)) / a0;
    section.b2 = section.b0;
    section.a1 = -2.0 * std::cos(w0) / a0;
    section.a2 = (1.0 - alpha) / a0;
    return section;
}

double PowerGain(const ReceiverFilter::Section& s, double hz, int32_t sampleRate) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * hz / sampleRate);
    const std::complex<double> z2 = z1 * z1;
    return std::norm((s.b0 + s.b1 * z1 + s.b2 * z2) / (1.0 + s.a1 * z1 + s.a2 * z2));
}

} // namespace

ReceiverFilter::Design ReceiverFilter::DesignFor(int32_t sampleRate) {
    Design design;
    design.sampleRate = sampleRate;
    for (int i = 0; i < 2; ++i) {
        design.sections[i] = LowPass(kCornerHz, kSectionQ[i], sampleRate);
    }
    // Trapezoidal integral of |H|^2 from 0 to half the sample rate, and up to the corner.
    double total = 0.0;
    double band = 0.0;
    const double nyquist = sampleRate / 2.0;
    for (double hz = 0.0; hz <= nyquist; hz += kIntegrationStepHz) {
        const double weight = (hz == 0.0 || hz + kIntegrationStepHz > nyquist) ? 0.5 : 1.0;
        const double gain = weight * PowerGain(design.sections[0], hz, sampleRate) *
                            PowerGain(design.sections[1], hz, sampleRate) * kIntegrationStepHz;
        total += gain;
        if (hz <= kCornerHz) {
            band += hz == kCornerHz ? gain / 2.0 : gain;
        }
    }
    design.impulseEnergy = 2.0 * total / sampleRate; // Parseval, over both halves of the spectrum
    design.bandShare = band / total;
    return design;
}

void ReceiverFilter::Reset(const Design& design) {
    for (int i = 0; i < 2; ++i) {
        sections[i] = design.sections[i];
        inPhaseStates[i] = State{};
        quadratureStates[i] = State{};
    }
    sampleRate = design.sampleRate;
    toneHz = -1.0;
    phasor.Restart();
}

void ReceiverFilter::SetToneHz(double hz) {
    if (hz == toneHz) {
        return;
    }
    toneHz = hz;
    phasor.SetStep(2.0 * kPi * hz / sampleRate);
}

double ReceiverFilter::Step(const Section& s, State& state, double input) {
    const double output = s.b0 * input + state.z1;
    state.z1 = s.b1 * input - s.a1 * output + state.z2;
    state.z2 = s.b2 * input - s.a2 * output;
    return output;
}

double ReceiverFilter::Next(double inPhase, double quadrature) {
    const double i = Step(sections[1], inPhaseStates[1], Step(sections[0], inPhaseStates[0], inPhase));
    const double q = Step(sections[1], quadratureStates[1], Step(sections[0], quadratureStates[0], quadrature));
    const double output = i * phasor.Cosine() - q * phasor.Sine();
    phasor.Turn();
    return output;
}
