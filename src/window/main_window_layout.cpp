#include "window/main_window_layout.h"

namespace window {

namespace {

using K = ControlKind;
using C = Container;
using Id = ControlId;

constexpr QLatin1String kArial("Arial");
constexpr QLatin1String kTimes("Times New Roman");
constexpr QLatin1String kArialBlack("Arial Black");

constexpr core::Rgb kWhite{255, 255, 255};
constexpr core::Rgb kTeal{55, 134, 134};
constexpr core::Rgb kSilver{192, 192, 192};
constexpr core::Rgb kBlue{0, 0, 255};
constexpr core::Rgb kNavy{0, 0, 128};
constexpr core::Rgb kYellow{255, 255, 0};
constexpr core::Rgb kGreen{0, 255, 0};

constexpr FontLook kHeading{kArial, 18, false};
constexpr FontLook kToolbarText{kTimes, 12, true};
constexpr FontLook kAnnunciator{kArialBlack, 9.75, false};
constexpr FontLook kLimit{kTimes, 9.75, false};
constexpr FontLook kLegend{kTimes, 9.75, true};
constexpr FontLook kChartSetting{kArial, 10.5, true};
constexpr FontLook kScaleCaption{kTimes, 12, true};
constexpr FontLook kScaleText{kTimes, 12, false};
constexpr FontLook kPlain{kArial, 8.25, false};
constexpr FontLook kNone{};

// In the order of the design tables.
// clang-format off
constexpr ControlLook kLayout[] = {
    {Id::toolbar, K::Toolbar, C::Form, 0, 0, 11850, 600, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::batteryFine, K::Indicator, C::Toolbar, 5160, 120, 465, 255, kNone, {}, kSilver, SystemColour::None, false, Align::Left},
    {Id::batteryLow, K::Indicator, C::Toolbar, 5160, 120, 465, 255, kNone, {}, kSilver, SystemColour::None, false, Align::Left},
    {Id::port, K::ReadOnlyTextBox, C::Toolbar, 5910, 120, 855, 420, kToolbarText, kBlue, kSilver, SystemColour::None, false, Align::Left},
    {Id::lineState, K::ReadOnlyTextBox, C::Toolbar, 6795, 120, 975, 420, kToolbarText, kBlue, kSilver, SystemColour::None, false, Align::Left},
    {Id::dataInputCaption, K::ReadOnlyTextBox, C::Toolbar, 7800, 120, 1575, 420, kToolbarText, kNavy, kSilver, SystemColour::None, false, Align::Left},
    {Id::receiveLamp, K::Indicator, C::Toolbar, 9000, 240, 300, 255, kNone, {}, {}, SystemColour::None, false, Align::Left},
    {Id::clock, K::ReadOnlyTextBox, C::Toolbar, 9480, 120, 2205, 420, kToolbarText, kYellow, {}, SystemColour::MenuText, false, Align::Left},
    {Id::functionHeading, K::Label, C::Form, 120, 600, 3855, 495, kHeading, kWhite, kTeal, SystemColour::None, true, Align::Centre},
    {Id::functionName, K::Label, C::Form, 120, 1080, 3855, 1530, {kTimes, 50.25, false}, core::kRed, {}, SystemColour::ButtonText, true, Align::Centre},
    {Id::dataHeading, K::Label, C::Form, 3990, 600, 3975, 495, kHeading, kWhite, kTeal, SystemColour::None, true, Align::Centre},
    {Id::displayValue, K::Label, C::Form, 3990, 1080, 3975, 1530, {kTimes, 62.25, false}, core::kRed, {}, SystemColour::ButtonText, true, Align::Centre},
    {Id::gaugeHeading, K::Label, C::Form, 7980, 600, 3795, 495, kHeading, kWhite, kTeal, SystemColour::None, true, Align::Centre},
    {Id::percentGauge, K::Surface, C::Form, 7980, 1080, 3795, 1530, kNone, {}, {}, SystemColour::None, true, Align::Left},
    {Id::gaugeValueCaption, K::Label, C::Form, 7980, 2640, 2055, 495, {kArial, 14.25, true}, kWhite, kTeal, SystemColour::None, true, Align::Centre},
    {Id::gaugeValue, K::Label, C::Form, 10035, 2640, 1755, 495, {kArial, 21.75, true}, {}, core::kBlack, SystemColour::None, true, Align::Right},
    {Id::levelBar, K::Surface, C::Form, 4080, 2280, 3735, 255, kNone, {}, {}, SystemColour::None, true, Align::Left},
    {Id::annunciatorFrame, K::Label, C::Form, 120, 2640, 3855, 495, kPlain, {}, {}, SystemColour::None, true, Align::Left},
    {Id::alarmFrame, K::Label, C::Form, 3990, 2640, 3975, 495, kPlain, {}, {}, SystemColour::None, true, Align::Left},
    {Id::rs232Annunciator, K::Label, C::Form, 360, 2760, 735, 255, kAnnunciator, core::kRed, {}, SystemColour::None, false, Align::Left},
    {Id::holdAnnunciator, K::Label, C::Form, 1560, 2760, 615, 255, kAnnunciator, core::kRed, {}, SystemColour::None, false, Align::Left},
    {Id::x10Annunciator, K::Label, C::Form, 3360, 2760, 495, 255, kAnnunciator, core::kRed, {}, SystemColour::None, false, Align::Left},
    {Id::lowAlarmLamp, K::Indicator, C::Form, 4200, 2700, 495, 330, kNone, {}, {}, SystemColour::None, false, Align::Left},
    {Id::highAlarmLamp, K::Indicator, C::Form, 4200, 2700, 495, 315, kNone, {}, {}, SystemColour::None, false, Align::Left},
    {Id::lowCaption, K::Label, C::Form, 4800, 2760, 495, 255, kLegend, kGreen, {}, SystemColour::None, false, Align::Left},
    {Id::lowAlarmLimit, K::TextBox, C::Form, 5280, 2760, 495, 270, kLimit, {}, {}, SystemColour::None, false, Align::Left},
    {Id::highCaption, K::Label, C::Form, 5880, 2760, 255, 255, kLegend, core::kRed, {}, SystemColour::None, false, Align::Left},
    {Id::highAlarmLimit, K::TextBox, C::Form, 6120, 2760, 615, 270, kLimit, {}, {}, SystemColour::None, false, Align::Left},
    {Id::unitCaption, K::Label, C::Form, 6840, 2760, 495, 255, kLegend, kBlue, {}, SystemColour::None, false, Align::Left},
    {Id::unit, K::ReadOnlyTextBox, C::Form, 7320, 2760, 615, 270, kLimit, kBlue, kWhite, SystemColour::None, true, Align::Left},
    {Id::xGrid, K::CheckBox, C::Form, 120, 3240, 975, 195, kChartSetting, {}, {}, SystemColour::None, false, Align::Left},
    {Id::yGrid, K::CheckBox, C::Form, 1200, 3240, 975, 240, kChartSetting, {}, {}, SystemColour::None, false, Align::Left},
    {Id::backgroundCaption, K::Label, C::Form, 2280, 3240, 1455, 300, kChartSetting, {}, {}, SystemColour::None, false, Align::Left},
    {Id::backgroundColour, K::ImageCombo, C::Form, 3720, 3180, 1575, 360, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::lineCaption, K::Label, C::Form, 5400, 3240, 495, 255, kChartSetting, {}, {}, SystemColour::None, false, Align::Left},
    {Id::lineColour, K::ImageCombo, C::Form, 5880, 3180, 1575, 360, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::chartFrame, K::Label, C::Form, 120, 3720, 7335, 3375, kPlain, {}, {}, SystemColour::None, true, Align::Left},
    {Id::chartAxes, K::Surface, C::Form, 240, 3840, 7095, 3255, kNone, {}, {}, SystemColour::None, false, Align::Left},
    {Id::plot, K::Surface, C::chartAxes, 840, 120, 6015, 2790, kNone, {}, {}, SystemColour::None, true, Align::Left},
    {Id::scaleRow, K::Label, C::Form, 120, 7080, 7335, 375, kPlain, {}, {}, SystemColour::None, true, Align::Left},
    {Id::vertMaxCaption, K::Label, C::Form, 480, 7125, 1095, 255, kScaleCaption, {}, {}, SystemColour::None, false, Align::Left},
    {Id::vertMax, K::TextBox, C::Form, 1560, 7080, 975, 315, kScaleText, {}, {}, SystemColour::None, false, Align::Left},
    {Id::autoGraph, K::Button, C::Form, 3360, 7120, 1215, 300, kPlain, {}, {}, SystemColour::None, false, Align::Centre},
    {Id::vertMinCaption, K::Label, C::Form, 5160, 7125, 975, 255, kScaleCaption, {}, {}, SystemColour::None, false, Align::Left},
    {Id::vertMin, K::TextBox, C::Form, 6120, 7080, 975, 315, kScaleText, {}, {}, SystemColour::None, false, Align::Left},
    {Id::historySlider, K::Slider, C::Form, 7560, 3240, 375, 4215, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::logGrid, K::Grid, C::Form, 8040, 3240, 3735, 4215, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::statusBar, K::StatusBar, C::Form, 0, 7470, 11850, 375, {kArial, 12, true}, {}, {}, SystemColour::None, false, Align::Left},
};
// clang-format on

} // namespace

std::span<const ControlLook> mainWindowLayout() { return kLayout; }

chart::BoxGeometry surfaceGeometry(ControlId id) {
    constexpr int kPictureBorder = 2;
    for (const ControlLook &look : kLayout) {
        if (look.id == id)
            return {double(look.left), double(look.top), double(look.width), double(look.height),
                    look.bordered ? kPictureBorder : 0};
    }
    return {};
}

} // namespace window
