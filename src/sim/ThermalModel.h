#pragma once

#include <array>
#include <cstdint>
#include <random>

// A plausible, not physical, model of a mold temperature controller: the controlled temperature
// follows its set value with a first-order lag while running, the rest of the circuit trails
// it, and everything drifts back to the ambient temperature when stopped. All values in °C,
// bar, percent and amperes.
namespace zr410::sim {

struct ThermalInputs {
    bool running = false;
    bool moldControl = false;  // the mold temperature is controlled, else the medium's
    double setpointC = 60.0;
    double heatBandC = 10.0;  // proportional bands that turn the error into outputs
    double coolBandC = 15.0;
    bool coolingFitted = true;
    bool threePhase = true;
};

struct ThermalReading {
    double moldC;
    double mediumC;
    double returnC;
    double supplyC;
    double pressureBar;
    double heatPercent;
    double coolPercent;
    std::array<double, 3> phaseAmps;
};

class ThermalModel {
public:
    static constexpr double kAmbientC = 25.0;
    static constexpr double kRunTimeConstantS = 30.0;

    explicit ThermalModel(std::uint64_t seed);

    // Advances the model by `seconds`; long spans are integrated in steps of at most a second.
    void advance(const ThermalInputs& inputs, double seconds);
    // The values a reader sees: the model state with a little measurement noise that changes
    // only when the model advances, so two reads at one instant agree.
    ThermalReading reading() const;

private:
    void step(const ThermalInputs& inputs, double h);

    ThermalReading state_;
    std::array<double, 5> noise_{};  // four temperatures and the pressure
    std::mt19937_64 rng_;
};

}  // namespace zr410::sim
