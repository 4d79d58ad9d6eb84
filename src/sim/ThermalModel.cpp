#include "sim/ThermalModel.h"

#include <algorithm>
#include <cmath>

namespace zr410::sim {
namespace {

// Fraction of the remaining distance covered in h seconds by a first-order lag.
double lag(double h, double tau) {
    return 1.0 - std::exp(-h / tau);
}

void approach(double& value, double target, double h, double tau) {
    value += (target - value) * lag(h, tau);
}

constexpr double kMaxPhaseAmps = 20.0;
constexpr double kRunningPressureBar = 2.5;
constexpr double kStoppedTimeConstantS = 180.0;
// After a day every temperature has settled; the cap keeps a long jump of the clock cheap.
constexpr double kMaxIntegratedSeconds = 24.0 * 3600.0;

}  // namespace

ThermalModel::ThermalModel(std::uint64_t seed)
    : state_{kAmbientC, kAmbientC, kAmbientC, kAmbientC, 0.0, 0.0, 0.0, {0.0, 0.0, 0.0}},
      rng_(seed) {}

void ThermalModel::advance(const ThermalInputs& inputs, double seconds) {
    if (!(seconds > 0.0)) {
        return;
    }
    seconds = std::min(seconds, kMaxIntegratedSeconds);
    while (seconds > 0.0) {
        const double h = std::min(seconds, 1.0);
        step(inputs, h);
        seconds -= h;
    }
    std::normal_distribution<double> temperatureNoise(0.0, 0.05);
    std::normal_distribution<double> pressureNoise(0.0, 0.01);
    for (int i = 0; i < 4; ++i) {
        noise_[i] = temperatureNoise(rng_);
    }
    noise_[4] = state_.pressureBar > 0.05 ? pressureNoise(rng_) : 0.0;
}

void ThermalModel::step(const ThermalInputs& in, double h) {
    ThermalReading& s = state_;
    if (!in.running) {
        s.heatPercent = 0.0;
        s.coolPercent = 0.0;
        s.phaseAmps = {0.0, 0.0, 0.0};
        approach(s.moldC, kAmbientC, h, kStoppedTimeConstantS);
        approach(s.mediumC, kAmbientC, h, kStoppedTimeConstantS);
        approach(s.returnC, kAmbientC, h, kStoppedTimeConstantS);
        approach(s.supplyC, kAmbientC, h, 60.0);
        approach(s.pressureBar, 0.0, h, 2.0);
        return;
    }
    double& controlled = in.moldControl ? s.moldC : s.mediumC;
    double& follower = in.moldControl ? s.mediumC : s.moldC;
    const double error = in.setpointC - controlled;

    // Outputs: proportional action on the error plus the heat needed to hold the set value.
    const double holding = std::clamp((in.setpointC - kAmbientC) * 0.6, 0.0, 60.0);
    s.heatPercent = std::clamp(100.0 * error / std::max(in.heatBandC, 0.1) + holding, 0.0, 100.0);
    s.coolPercent = in.coolingFitted
                        ? std::clamp(-100.0 * error / std::max(in.coolBandC, 0.1), 0.0, 100.0)
                        : 0.0;
    const double amps = s.heatPercent / 100.0 * kMaxPhaseAmps;
    s.phaseAmps = in.threePhase ? std::array<double, 3>{amps, amps * 0.97, amps * 1.02}
                                : std::array<double, 3>{amps, 0.0, 0.0};

    approach(controlled, in.setpointC, h, kRunTimeConstantS);
    // The medium carries the heat to the mold, so it runs a little further from ambient.
    const double spread = 0.05 * (controlled - kAmbientC);
    approach(follower, in.moldControl ? controlled + spread : controlled - spread, h, 20.0);
    approach(s.returnC, s.mediumC - 0.04 * (s.mediumC - kAmbientC) - 0.3, h, 15.0);
    approach(s.supplyC, kAmbientC + 3.0 + 0.03 * s.coolPercent, h, 40.0);
    approach(s.pressureBar, kRunningPressureBar + 0.004 * (s.mediumC - kAmbientC), h, 3.0);
}

ThermalReading ThermalModel::reading() const {
    ThermalReading r = state_;
    r.moldC += noise_[0];
    r.mediumC += noise_[1];
    r.returnC += noise_[2];
    r.supplyC += noise_[3];
    r.pressureBar = std::max(0.0, r.pressureBar + noise_[4]);
    return r;
}

}  // namespace zr410::sim
