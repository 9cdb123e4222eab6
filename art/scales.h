// Where each needle of the panel turns and what its scale reads: the dials are drawn from
// these, so their marks sit exactly where the host aims the needle for each value.
//
// A scale is the needle's table of (x, y, value) points on the dial, as the gauge gives it
// to the host: for a value the host interpolates a point between the two neighbouring
// entries and turns the needle about its pivot to aim at it. A mark for value v therefore
// lies on the ray from the pivot through that point.
#pragma once

#include <math.h>
#include <stddef.h>

#include <span>

namespace art {

struct ScalePoint {
    int x, y;
    double value;
};

struct NeedleScale {
    double pivot_x, pivot_y;            // where the needle's pivot sits on the dial
    std::span<const ScalePoint> points;  // ascending by value

    // The point the host aims at for `value` (clamped to the ends of the table).
    void aim(double value, double* x, double* y) const {
        const ScalePoint& first = points.front();
        const ScalePoint& last = points.back();
        if (!(value > first.value)) { *x = first.x; *y = first.y; return; }
        if (value >= last.value) { *x = last.x; *y = last.y; return; }
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            const ScalePoint& a = points[i];
            const ScalePoint& b = points[i + 1];
            if (value >= a.value && value <= b.value) {
                const double t = b.value > a.value ? (value - a.value) / (b.value - a.value) : 0.0;
                *x = a.x + (b.x - a.x) * t;
                *y = a.y + (b.y - a.y) * t;
                return;
            }
        }
        *x = last.x;
        *y = last.y;
    }
    // Direction of the needle for `value`, radians in screen terms (0 = right, y down).
    double angle(double value) const {
        double x, y;
        aim(value, &x, &y);
        return atan2(y - pivot_y, x - pivot_x);
    }
};

// A needle bitmap: drawn pointing right, turned about its pivot point.
struct NeedleShape {
    int width, height;
    int pivot_x, pivot_y;
    int length() const { return width - 1 - pivot_x; }  // pivot to tip, in pixels
};

namespace scales {

// Fuel pressure (VARN_KD_FUEL_PRESS): the host's reading / 1024, a 0 to 30 scale; the last
// entry holds the needle just past 30 for anything higher.
inline constexpr ScalePoint fuel_pressure_points[] = {
    {31, 29, 0.0}, {133, 30, 20.0}, {178, 30, 30.0}, {186, 30, 9999.0}};
inline constexpr NeedleScale fuel_pressure{103, 155, fuel_pressure_points};
inline constexpr NeedleShape fuel_pressure_needle{120, 9, 3, 5};
inline constexpr int fuel_pressure_cover_y = 111;

// Left tank fuel quantity (tq36_lfuel): 0 to 40 gallons.
inline constexpr ScalePoint fuel_quantity_points[] = {{16, 43, 0.0}, {183, 44, 40.0}};
inline constexpr NeedleScale fuel_quantity{99, 129, fuel_quantity_points};
inline constexpr NeedleShape fuel_quantity_needle{100, 16, 0, 8};
inline constexpr int fuel_quantity_cover_y = 112;

// Ammeter (left needle of Amps_Oil_Pressure_Indicator): amperes -20 to 60; the voltmeter
// position shows (volts - 15) x 4 on the same marks, so 20, 25 and 30 V read at 20, 40, 60.
inline constexpr ScalePoint ammeter_points[] = {
    {43, 50, -40.0}, {43, 50, -20.0}, {64, 50, 0.0}, {82, 50, 20.0},
    {99, 50, 40.0},  {121, 50, 60.0}, {121, 50, 80.0}};
inline constexpr NeedleScale ammeter{82, 108, ammeter_points};
// Oil pressure (right needle): the host's pounds per square foot, 144 to a psi.
inline constexpr ScalePoint oil_pressure_points[] = {
    {174, 43, -2880.0}, {174, 43, 0.0},     {185, 43, 1440.0},
    {218, 43, 7200.0},  {262, 43, 14400.0}, {262, 43, 15840.0}};
inline constexpr NeedleScale oil_pressure{218, 108, oil_pressure_points};
inline constexpr double psf_per_psi = 144.0;
inline constexpr NeedleShape ammeter_needle{75, 8, 3, 4};

// Propeller de-ice ammeter (Prop_De_Ice_Amps): 0 to 28 A.
inline constexpr ScalePoint prop_deice_points[] = {{35, 40, 0.0}, {68, 33, 28.0}};
inline constexpr NeedleScale prop_deice{54, 56, prop_deice_points};
inline constexpr NeedleShape prop_deice_needle{40, 6, 4, 3};

}  // namespace scales
}  // namespace art
