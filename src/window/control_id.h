#pragma once

#include <QLatin1String>

#include <array>

namespace window {

// Every control of the main window whose state the program reads or writes, under the name the
// window's design gives it (Text9, Picture4, ...), with its role: what assistive technology is
// told it is for, beside what it shows. The comment says what it holds. This is the glossary of
// those names; the handlers and the window model use them as they stand. One list, so that the
// enumeration, the names and the roles cannot drift apart.
// clang-format off
#define ENVMETER_FORM1_CONTROLS(X) \
    X(Toolbar1,    "Toolbar")             /* the seven commands, by key "aa".."gg" (toolbar_commands.h) */ \
    X(Picture4,    "Receive lamp")        /* red and green by turns at each receive event, blue while the line is off */ \
    X(Picture5,    "Battery")             /* the full battery, shown while the meter's battery is fine */ \
    X(Picture8,    "Battery")             /* the low battery, shown when the meter says LOBAT */ \
    X(Text8,       "Port")                /* the port chosen: "NULL", "COM1" or "COM2" */ \
    X(Text9,       "Line state")          /* "OFFLine" or "ONLine": whether the serial line is open (lineIsOff) */ \
    X(Text10,      "Data input")          /* the caption "Data Input" beside the receive lamp */ \
    X(Text11,      "Clock")               /* the date and time, twice a second */ \
    X(Label1,      "Function heading")    /* "FUNCTION" */ \
    X(Label2,      "Function")            /* the reading's function: "Sound", "Humidity", "Temp", "Light" */ \
    X(Label3,      "Data heading")        /* "DATA" */ \
    X(Label4,      "Value")               /* the reading as the meter displays it, "O.L" for an overload */ \
    X(Label16,     "Gauge heading")       /* "GAUGE" */ \
    X(Picture3,    "Percent gauge")       /* the light level as a wedge of ten rows */ \
    X(Label17,     "Gauge value caption") /* "Gauge Value" */ \
    X(Label18,     "Gauge value")         /* the light level in percent, "NULL" for other readings */ \
    X(Picture6,    "Level bar")           /* the light level as a bar */ \
    X(Label5,      "Annunciators")        /* the frame around RS232, HOLD and X10 */ \
    X(Label7,      "Alarm limits")        /* the frame around the alarm lamps and limits */ \
    X(Label22,     "RS232")               /* the annunciator RS232, shown while the meter lights it */ \
    X(Label23,     "HOLD")                /* the annunciator HOLD */ \
    X(Label21,     "X10")                 /* the annunciator X10: light readings are ten times the display */ \
    X(Picture10,   "Low alarm lamp")      /* shown when a reading is at or below LOW */ \
    X(Picture9,    "High alarm lamp")     /* shown when a reading is at or above HI */ \
    X(Label9,      "LOW")                 /* the caption "LOW" */ \
    X(Text2,       "Low alarm limit")     /* LOW, read by its leading number */ \
    X(Label10,     "HI")                  /* the caption "HI" */ \
    X(Text3,       "High alarm limit")    /* HI, read by its leading number */ \
    X(Label11,     "UNIT")                /* the caption "UNIT" */ \
    X(Text4,       "Unit")                /* the reading's unit: "dB", "%RH", "C", "F", "LUX" */ \
    X(Check2,      "XGrid")               /* the plot's horizontal grid lines on or off */ \
    X(Check3,      "YGrid")               /* the plot's vertical grid lines on or off */ \
    X(Label19,     "Back Ground")         /* the caption "Back Ground" */ \
    X(ImageCombo1, "Background colour")   /* the plot's background colour, one of the sixteen */ \
    X(Label20,     "Line")                /* the caption "Line" */ \
    X(ImageCombo2, "Line colour")         /* the trend's colour, one of the sixteen */ \
    X(Label12,     "Chart frame")         /* the frame around the chart */ \
    X(Picture2,    "Chart")               /* the chart's frame with the value and time axes */ \
    X(Picture1,    "Plot")                /* the live trend of 300 readings, or the history plot */ \
    X(Label13,     "Scale row")           /* the frame around the scale boxes */ \
    X(Label14,     "Vert Max")            /* the caption "Vert Max" */ \
    X(Text5,       "Vert Max")            /* the top of the value scale, taken at Auto Graph or Enter in Vert Min */ \
    X(Command1,    "Auto Graph")          /* the chart drawn again on the scale the two boxes give */ \
    X(Label15,     "Vert Min")            /* the caption "Vert Min" */ \
    X(Text6,       "Vert Min")            /* the bottom of the value scale; Enter rescales */ \
    X(Slider1,     "History")             /* with the line off, a record counted back from the newest */ \
    X(DBGrid1,     "Log records")         /* the log's records, bound to the data source Data1 */ \
    X(StatusBar1,  "Status")              /* eight panels: 2 the alarm, 4 and 6 the running minimum and maximum, 8 the slider's position */
// clang-format on

enum class ControlId {
#define ENVMETER_ENUM(name, role) name,
    ENVMETER_FORM1_CONTROLS(ENVMETER_ENUM)
#undef ENVMETER_ENUM
};

inline constexpr std::array kControlNames{
#define ENVMETER_NAME(name, role) QLatin1String(#name),
    ENVMETER_FORM1_CONTROLS(ENVMETER_NAME)
#undef ENVMETER_NAME
};

inline constexpr std::array kControlRoles{
#define ENVMETER_ROLE(name, role) QLatin1String(role),
    ENVMETER_FORM1_CONTROLS(ENVMETER_ROLE)
#undef ENVMETER_ROLE
};

inline constexpr int kControlCount = int(kControlNames.size());

constexpr QLatin1String controlName(ControlId id) { return kControlNames[std::size_t(id)]; }
/// What the control is for, as assistive technology tells it.
constexpr QLatin1String controlRole(ControlId id) { return kControlRoles[std::size_t(id)]; }

} // namespace window
