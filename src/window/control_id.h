#pragma once

#include <QLatin1String>

#include <array>

namespace window {

// Every control of the main window whose state the program reads or writes: the name the code
// gives it for its role, the name the window's design gives it (the widget's objectName, which
// tools and tests find it by), and what assistive technology is told it is for, beside what it
// shows. The comment says what it holds. This is the one map between the two kinds of names;
// one list, so that the enumeration, the names and the roles cannot drift apart.
// clang-format off
#define ENVMETER_MAIN_WINDOW_CONTROLS(X) \
    X(toolbar,           Toolbar1,    "Toolbar")             /* the seven commands, by key (toolbar_commands.h) */ \
    X(receiveLamp,       Picture4,    "Receive lamp")        /* red and green by turns at each receive event, blue while the line is off */ \
    X(batteryFine,       Picture5,    "Battery")             /* the full battery, shown while the meter's battery is fine */ \
    X(batteryLow,        Picture8,    "Battery")             /* the low battery, shown when the meter says LOBAT */ \
    X(port,              Text8,       "Port")                /* the port chosen: "NULL", "COM1" or "COM2" */ \
    X(lineState,         Text9,       "Line state")          /* "OFFLine" or "ONLine": whether the serial line is open (lineIsOff) */ \
    X(dataInputCaption,  Text10,      "Data input")          /* the caption "Data Input" beside the receive lamp */ \
    X(clock,             Text11,      "Clock")               /* the date and time, twice a second */ \
    X(functionHeading,   Label1,      "Function heading")    /* "FUNCTION" */ \
    X(functionName,      Label2,      "Function")            /* the reading's function: "Sound", "Humidity", "Temp", "Light" */ \
    X(dataHeading,       Label3,      "Data heading")        /* "DATA" */ \
    X(displayValue,      Label4,      "Value")               /* the reading as the meter displays it, "O.L" for an overload */ \
    X(gaugeHeading,      Label16,     "Gauge heading")       /* "GAUGE" */ \
    X(percentGauge,      Picture3,    "Percent gauge")       /* the light level as a wedge of ten rows */ \
    X(gaugeValueCaption, Label17,     "Gauge value caption") /* "Gauge Value" */ \
    X(gaugeValue,        Label18,     "Gauge value")         /* the light level in percent, "NULL" for other readings */ \
    X(levelBar,          Picture6,    "Level bar")           /* the light level as a bar */ \
    X(annunciatorFrame,  Label5,      "Annunciators")        /* the frame around RS232, HOLD and X10 */ \
    X(alarmFrame,        Label7,      "Alarm limits")        /* the frame around the alarm lamps and limits */ \
    X(rs232Annunciator,  Label22,     "RS232")               /* the annunciator RS232, shown while the meter lights it */ \
    X(holdAnnunciator,   Label23,     "HOLD")                /* the annunciator HOLD */ \
    X(x10Annunciator,    Label21,     "X10")                 /* the annunciator X10: light readings are ten times the display */ \
    X(lowAlarmLamp,      Picture10,   "Low alarm lamp")      /* shown when a reading is at or below LOW */ \
    X(highAlarmLamp,     Picture9,    "High alarm lamp")     /* shown when a reading is at or above HI */ \
    X(lowCaption,        Label9,      "LOW")                 /* the caption "LOW" */ \
    X(lowAlarmLimit,     Text2,       "Low alarm limit")     /* LOW, read by its leading number */ \
    X(highCaption,       Label10,     "HI")                  /* the caption "HI" */ \
    X(highAlarmLimit,    Text3,       "High alarm limit")    /* HI, read by its leading number */ \
    X(unitCaption,       Label11,     "UNIT")                /* the caption "UNIT" */ \
    X(unit,              Text4,       "Unit")                /* the reading's unit: "dB", "%RH", "C", "F", "LUX" */ \
    X(xGrid,             Check2,      "XGrid")               /* the plot's horizontal grid lines on or off */ \
    X(yGrid,             Check3,      "YGrid")               /* the plot's vertical grid lines on or off */ \
    X(backgroundCaption, Label19,     "Back Ground")         /* the caption "Back Ground" */ \
    X(backgroundColour,  ImageCombo1, "Background colour")   /* the plot's background colour, one of the sixteen */ \
    X(lineCaption,       Label20,     "Line")                /* the caption "Line" */ \
    X(lineColour,        ImageCombo2, "Line colour")         /* the trend's colour, one of the sixteen */ \
    X(chartFrame,        Label12,     "Chart frame")         /* the frame around the chart */ \
    X(chartAxes,         Picture2,    "Chart")               /* the chart's frame with the value and time axes */ \
    X(plot,              Picture1,    "Plot")                /* the live trend of 300 readings, or the history plot */ \
    X(scaleRow,          Label13,     "Scale row")           /* the frame around the scale boxes */ \
    X(vertMaxCaption,    Label14,     "Vert Max")            /* the caption "Vert Max" */ \
    X(vertMax,           Text5,       "Vert Max")            /* the top of the value scale, taken at Auto Graph or Enter in Vert Min */ \
    X(autoGraph,         Command1,    "Auto Graph")          /* the chart drawn again on the scale the two boxes give */ \
    X(vertMinCaption,    Label15,     "Vert Min")            /* the caption "Vert Min" */ \
    X(vertMin,           Text6,       "Vert Min")            /* the bottom of the value scale; Enter rescales */ \
    X(historySlider,     Slider1,     "History")             /* with the line off, a record counted back from the newest */ \
    X(logGrid,           DBGrid1,     "Log records")         /* the log's records, bound to the grid's data source */ \
    X(statusBar,         StatusBar1,  "Status")              /* eight panels: 2 the alarm, 4 and 6 the running minimum and maximum, 8 the slider's position */
// clang-format on

enum class ControlId {
#define ENVMETER_ENUM(id, name, role) id,
    ENVMETER_MAIN_WINDOW_CONTROLS(ENVMETER_ENUM)
#undef ENVMETER_ENUM
};

inline constexpr std::array kControlNames{
#define ENVMETER_NAME(id, name, role) QLatin1String(#name),
    ENVMETER_MAIN_WINDOW_CONTROLS(ENVMETER_NAME)
#undef ENVMETER_NAME
};

inline constexpr std::array kControlRoles{
#define ENVMETER_ROLE(id, name, role) QLatin1String(role),
    ENVMETER_MAIN_WINDOW_CONTROLS(ENVMETER_ROLE)
#undef ENVMETER_ROLE
};

inline constexpr int kControlCount = int(kControlNames.size());

/// The control's name in the window's design: its objectName.
constexpr QLatin1String controlName(ControlId id) { return kControlNames[std::size_t(id)]; }
/// What the control is for, as assistive technology tells it.
constexpr QLatin1String controlRole(ControlId id) { return kControlRoles[std::size_t(id)]; }

} // namespace window
