#pragma once

#include <cmath>
#include <cstdint>

// A sine and cosine pair turned by a fixed angle each sample (one complex multiplication instead
// of a call to sin), brought back to unit length at every turn so that rounding never makes it
// grow or die away. Audio thread: no allocation.
class Phasor {
public:
    // Back to angle 0, keeping the step.
    void Restart() {
        cosine = 1.0;
        sine = 0.0;
    }
    // The step of `radians` per sample.
    void SetStep(double radians) {
        stepCosine = std::cos(radians);
        stepSine = std::sin(radians);
    }
    double Cosine() const { return cosine; }
    double Sine() const { return sine; }
    void Turn() {
        const double turnedCosine = cosine * stepCosine - sine * stepSine;
        const double turnedSine = cosine * stepSine + sine * stepCosine;
        const double length = 1.5 - 0.5 * (turnedCosine * turnedCosine + turnedSine * turnedSine);
        cosine = turnedCosine * length;
        sine = turnedSine * length;
    }

private:
    double cosine = 1.0, sine = 0.0;
    double stepCosine = 1.0, stepSine = 0.0;
};
