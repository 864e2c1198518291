#include "window/form1_layout.h"

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
    {Id::Toolbar1, K::Toolbar, C::Form, 0, 0, 11850, 600, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Picture5, K::Indicator, C::Toolbar, 5160, 120, 465, 255, kNone, {}, kSilver, SystemColour::None, false, Align::Left},
    {Id::Picture8, K::Indicator, C::Toolbar, 5160, 120, 465, 255, kNone, {}, kSilver, SystemColour::None, false, Align::Left},
    {Id::Text8, K::ReadOnlyTextBox, C::Toolbar, 5910, 120, 855, 420, kToolbarText, kBlue, kSilver, SystemColour::None, false, Align::Left},
    {Id::Text9, K::ReadOnlyTextBox, C::Toolbar, 6795, 120, 975, 420, kToolbarText, kBlue, kSilver, SystemColour::None, false, Align::Left},
    {Id::Text10, K::ReadOnlyTextBox, C::Toolbar, 7800, 120, 1575, 420, kToolbarText, kNavy, kSilver, SystemColour::None, false, Align::Left},
    {Id::Picture4, K::Indicator, C::Toolbar, 9000, 240, 300, 255, kNone, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Text11, K::ReadOnlyTextBox, C::Toolbar, 9480, 120, 2205, 420, kToolbarText, kYellow, {}, SystemColour::MenuText, false, Align::Left},
    {Id::Label1, K::Label, C::Form, 120, 600, 3855, 495, kHeading, kWhite, kTeal, SystemColour::None, true, Align::Centre},
    {Id::Label2, K::Label, C::Form, 120, 1080, 3855, 1530, {kTimes, 50.25, false}, core::kRed, {}, SystemColour::ButtonText, true, Align::Centre},
    {Id::Label3, K::Label, C::Form, 3990, 600, 3975, 495, kHeading, kWhite, kTeal, SystemColour::None, true, Align::Centre},
    {Id::Label4, K::Label, C::Form, 3990, 1080, 3975, 1530, {kTimes, 62.25, false}, core::kRed, {}, SystemColour::ButtonText, true, Align::Centre},
    {Id::Label16, K::Label, C::Form, 7980, 600, 3795, 495, kHeading, kWhite, kTeal, SystemColour::None, true, Align::Centre},
    {Id::Picture3, K::Surface, C::Form, 7980, 1080, 3795, 1530, kNone, {}, {}, SystemColour::None, true, Align::Left},
    {Id::Label17, K::Label, C::Form, 7980, 2640, 2055, 495, {kArial, 14.25, true}, kWhite, kTeal, SystemColour::None, true, Align::Centre},
    {Id::Label18, K::Label, C::Form, 10035, 2640, 1755, 495, {kArial, 21.75, true}, {}, core::kBlack, SystemColour::None, true, Align::Right},
    {Id::Picture6, K::Surface, C::Form, 4080, 2280, 3735, 255, kNone, {}, {}, SystemColour::None, true, Align::Left},
    {Id::Label5, K::Label, C::Form, 120, 2640, 3855, 495, kPlain, {}, {}, SystemColour::None, true, Align::Left},
    {Id::Label7, K::Label, C::Form, 3990, 2640, 3975, 495, kPlain, {}, {}, SystemColour::None, true, Align::Left},
    {Id::Label22, K::Label, C::Form, 360, 2760, 735, 255, kAnnunciator, core::kRed, {}, SystemColour::None, false, Align::Left},
    {Id::Label23, K::Label, C::Form, 1560, 2760, 615, 255, kAnnunciator, core::kRed, {}, SystemColour::None, false, Align::Left},
    {Id::Label21, K::Label, C::Form, 3360, 2760, 495, 255, kAnnunciator, core::kRed, {}, SystemColour::None, false, Align::Left},
    {Id::Picture10, K::Indicator, C::Form, 4200, 2700, 495, 330, kNone, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Picture9, K::Indicator, C::Form, 4200, 2700, 495, 315, kNone, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Label9, K::Label, C::Form, 4800, 2760, 495, 255, kLegend, kGreen, {}, SystemColour::None, false, Align::Left},
    {Id::Text2, K::TextBox, C::Form, 5280, 2760, 495, 270, kLimit, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Label10, K::Label, C::Form, 5880, 2760, 255, 255, kLegend, core::kRed, {}, SystemColour::None, false, Align::Left},
    {Id::Text3, K::TextBox, C::Form, 6120, 2760, 615, 270, kLimit, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Label11, K::Label, C::Form, 6840, 2760, 495, 255, kLegend, kBlue, {}, SystemColour::None, false, Align::Left},
    {Id::Text4, K::ReadOnlyTextBox, C::Form, 7320, 2760, 615, 270, kLimit, kBlue, kWhite, SystemColour::None, true, Align::Left},
    {Id::Check2, K::CheckBox, C::Form, 120, 3240, 975, 195, kChartSetting, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Check3, K::CheckBox, C::Form, 1200, 3240, 975, 240, kChartSetting, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Label19, K::Label, C::Form, 2280, 3240, 1455, 300, kChartSetting, {}, {}, SystemColour::None, false, Align::Left},
    {Id::ImageCombo1, K::ImageCombo, C::Form, 3720, 3180, 1575, 360, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Label20, K::Label, C::Form, 5400, 3240, 495, 255, kChartSetting, {}, {}, SystemColour::None, false, Align::Left},
    {Id::ImageCombo2, K::ImageCombo, C::Form, 5880, 3180, 1575, 360, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Label12, K::Label, C::Form, 120, 3720, 7335, 3375, kPlain, {}, {}, SystemColour::None, true, Align::Left},
    {Id::Picture2, K::Surface, C::Form, 240, 3840, 7095, 3255, kNone, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Picture1, K::Surface, C::Picture2, 840, 120, 6015, 2790, kNone, {}, {}, SystemColour::None, true, Align::Left},
    {Id::Label13, K::Label, C::Form, 120, 7080, 7335, 375, kPlain, {}, {}, SystemColour::None, true, Align::Left},
    {Id::Label14, K::Label, C::Form, 480, 7125, 1095, 255, kScaleCaption, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Text5, K::TextBox, C::Form, 1560, 7080, 975, 315, kScaleText, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Command1, K::Button, C::Form, 3360, 7120, 1215, 300, kPlain, {}, {}, SystemColour::None, false, Align::Centre},
    {Id::Label15, K::Label, C::Form, 5160, 7125, 975, 255, kScaleCaption, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Text6, K::TextBox, C::Form, 6120, 7080, 975, 315, kScaleText, {}, {}, SystemColour::None, false, Align::Left},
    {Id::Slider1, K::Slider, C::Form, 7560, 3240, 375, 4215, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::DBGrid1, K::Grid, C::Form, 8040, 3240, 3735, 4215, kPlain, {}, {}, SystemColour::None, false, Align::Left},
    {Id::StatusBar1, K::StatusBar, C::Form, 0, 7470, 11850, 375, {kArial, 12, true}, {}, {}, SystemColour::None, false, Align::Left},
};
// clang-format on

} // namespace

std::span<const ControlLook> form1Layout() { return kLayout; }

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
