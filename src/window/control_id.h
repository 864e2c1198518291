#pragma once

#include <QLatin1String>

#include <array>

namespace window {

// Every control of the main window whose state the program reads or writes, under its form
// name. One list, so that the enumeration and the names cannot drift apart.
// clang-format off
#define ENVMETER_FORM1_CONTROLS(X) \
    X(Toolbar1) X(Picture4) X(Picture5) X(Picture8) X(Text8) X(Text9) X(Text10) X(Text11) \
    X(Label1) X(Label2) X(Label3) X(Label4) X(Label16) X(Picture3) X(Label17) X(Label18) \
    X(Picture6) X(Label5) X(Label7) X(Label22) X(Label23) X(Label21) X(Picture10) X(Picture9) \
    X(Label9) X(Text2) X(Label10) X(Text3) X(Label11) X(Text4) X(Check2) X(Check3) \
    X(Label19) X(ImageCombo1) X(Label20) X(ImageCombo2) X(Label12) X(Picture2) X(Picture1) X(Label13) \
    X(Label14) X(Text5) X(Command1) X(Label15) X(Text6) X(Slider1) X(DBGrid1) X(StatusBar1)
// clang-format on

enum class ControlId {
#define ENVMETER_ENUM(name) name,
    ENVMETER_FORM1_CONTROLS(ENVMETER_ENUM)
#undef ENVMETER_ENUM
};

inline constexpr std::array kControlNames{
#define ENVMETER_NAME(name) QLatin1String(#name),
    ENVMETER_FORM1_CONTROLS(ENVMETER_NAME)
#undef ENVMETER_NAME
};

inline constexpr int kControlCount = int(kControlNames.size());

constexpr QLatin1String controlName(ControlId id) { return kControlNames[std::size_t(id)]; }

} // namespace window
