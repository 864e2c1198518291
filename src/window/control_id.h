#pragma once

#include <QLatin1String>

#include <array>

namespace window {

// Every control of the main window whose state the program reads or writes: the name the code
// gives it for its role, the name the window's design gives it (the widget's objectName, which
// tools and tests find it by), what assistive technology is told it is for, beside what it
// shows, and its text as the window is designed. The comment says what it holds. This is the one
// map between the two kinds of names; one list, so that nothing of a control can drift apart.
// clang-format off
#define ENVMETER_MAIN_WINDOW_CONTROLS(X) \
    X(toolbar,           Toolbar1,    "Toolbar", u"")                               /* the seven commands, by key (toolbar_commands.h) */ \
    X(receiveLamp,       Picture4,    "Receive lamp", u"")                          /* red and green by turns at each receive event, blue while the line is off */ \
    X(batteryFine,       Picture5,    "Battery", u"")                               /* the full battery, shown while the meter's battery is fine */ \
    X(batteryLow,        Picture8,    "Battery", u"")                               /* the low battery, shown when the meter says LOBAT */ \
    X(port,              Text8,       "Port", u"NULL")                              /* the port chosen: "NULL", "COM1" or "COM2" */ \
    X(lineState,         Text9,       "Line state", u"OFFLine")                     /* "OFFLine" or "ONLine": whether the serial line is open (lineIsOff) */ \
    X(dataInputCaption,  Text10,      "Data input", u"Data Input")                  /* the caption "Data Input" beside the receive lamp */ \
    X(clock,             Text11,      "Clock", u"12-05-2000 12:23:45")              /* the date and time, twice a second */ \
    X(functionHeading,   Label1,      "Function heading", u"FUNCTION")              /* "FUNCTION" */ \
    X(functionName,      Label2,      "Function", u"")                              /* the reading's function: "Sound", "Humidity", "Temp", "Light" */ \
    X(dataHeading,       Label3,      "Data heading", u"DATA")                      /* "DATA" */ \
    X(displayValue,      Label4,      "Value", u"")                                 /* the reading as the meter displays it, "O.L" for an overload */ \
    X(gaugeHeading,      Label16,     "Gauge heading", u"GAUGE")                    /* "GAUGE" */ \
    X(percentGauge,      Picture3,    "Percent gauge", u"")                         /* the light level as a wedge of ten rows */ \
    X(gaugeValueCaption, Label17,     "Gauge value caption", u"Gauge Value")        /* "Gauge Value" */ \
    X(gaugeValue,        Label18,     "Gauge value", u"0%")                         /* the light level in percent, "NULL" for other readings */ \
    X(levelBar,          Picture6,    "Level bar", u"")                             /* the light level as a bar */ \
    X(annunciatorFrame,  Label5,      "Annunciators", u"")                          /* the frame around RS232, HOLD and X10 */ \
    X(alarmFrame,        Label7,      "Alarm limits", u"")                          /* the frame around the alarm lamps and limits */ \
    X(rs232Annunciator,  Label22,     "RS232", u"RS232")                            /* the annunciator RS232, shown while the meter lights it */ \
    X(holdAnnunciator,   Label23,     "HOLD", u"HOLD")                              /* the annunciator HOLD */ \
    X(x10Annunciator,    Label21,     "X10", u"X10")                                /* the annunciator X10: light readings are ten times the display */ \
    X(lowAlarmLamp,      Picture10,   "Low alarm lamp", u"")                        /* shown when a reading is at or below LOW */ \
    X(highAlarmLamp,     Picture9,    "High alarm lamp", u"")                       /* shown when a reading is at or above HI */ \
    X(lowCaption,        Label9,      "LOW", u"LOW")                                /* the caption "LOW" */ \
    X(lowAlarmLimit,     Text2,       "Low alarm limit", u"-4000")                  /* LOW, read by its leading number */ \
    X(highCaption,       Label10,     "HI", u"HI")                                  /* the caption "HI" */ \
    X(highAlarmLimit,    Text3,       "High alarm limit", u"4000")                  /* HI, read by its leading number */ \
    X(unitCaption,       Label11,     "UNIT", u"UNIT")                              /* the caption "UNIT" */ \
    X(unit,              Text4,       "Unit", u"")                                  /* the reading's unit: "dB", "%RH", "C", "F", "LUX" */ \
    X(xGrid,             Check2,      "XGrid", u"XGrid")                            /* the plot's horizontal grid lines on or off */ \
    X(yGrid,             Check3,      "YGrid", u"YGrid")                            /* the plot's vertical grid lines on or off */ \
    X(backgroundCaption, Label19,     "Back Ground", u"Back Ground")                /* the caption "Back Ground" */ \
    X(backgroundColour,  ImageCombo1, "Background colour", u"")                     /* the plot's background colour, one of the sixteen */ \
    X(lineCaption,       Label20,     "Line", u"Line")                              /* the caption "Line" */ \
    X(lineColour,        ImageCombo2, "Line colour", u"")                           /* the trend's colour, one of the sixteen */ \
    X(chartFrame,        Label12,     "Chart frame", u"")                           /* the frame around the chart */ \
    X(chartAxes,         Picture2,    "Chart", u"")                                 /* the chart's frame with the value and time axes */ \
    X(plot,              Picture1,    "Plot", u"")                                  /* the live trend of 300 readings, or the history plot */ \
    X(scaleRow,          Label13,     "Scale row", u"")                             /* the frame around the scale boxes */ \
    X(vertMaxCaption,    Label14,     "Vert Max", u"Vert Max")                      /* the caption "Vert Max" */ \
    X(vertMax,           Text5,       "Vert Max", u"400.0")                         /* the top of the value scale, taken at Auto Graph or Enter in Vert Min */ \
    X(autoGraph,         Command1,    "Auto Graph", u"Auto Graph")                  /* the chart drawn again on the scale the two boxes give */ \
    X(vertMinCaption,    Label15,     "Vert Min", u"Vert Min")                      /* the caption "Vert Min" */ \
    X(vertMin,           Text6,       "Vert Min", u"-400.0")                        /* the bottom of the value scale; Enter rescales */ \
    X(historySlider,     Slider1,     "History", u"")                               /* with the line off, a record counted back from the newest */ \
    X(logGrid,           DBGrid1,     "Log records", u"")                           /* the log's records, bound to the grid's data source */ \
    X(statusBar,         StatusBar1,  "Status", u"")                                /* eight panels: 2 the alarm, 4 and 6 the running minimum and maximum, 8 the slider's position */
// clang-format on

enum class ControlId {
#define ENVMETER_ENUM(id, name, role, text) id,
    ENVMETER_MAIN_WINDOW_CONTROLS(ENVMETER_ENUM)
#undef ENVMETER_ENUM
};

inline constexpr std::array kControlNames{
#define ENVMETER_NAME(id, name, role, text) QLatin1String(#name),
    ENVMETER_MAIN_WINDOW_CONTROLS(ENVMETER_NAME)
#undef ENVMETER_NAME
};

inline constexpr std::array kControlRoles{
#define ENVMETER_ROLE(id, name, role, text) QLatin1String(role),
    ENVMETER_MAIN_WINDOW_CONTROLS(ENVMETER_ROLE)
#undef ENVMETER_ROLE
};

/// What each control shows as the window is designed, before its load runs.
inline constexpr std::array<const char16_t *, kControlNames.size()> kDesignTexts{
#define ENVMETER_TEXT(id, name, role, text) text,
    ENVMETER_MAIN_WINDOW_CONTROLS(ENVMETER_TEXT)
#undef ENVMETER_TEXT
};

inline constexpr int kControlCount = int(kControlNames.size());

/// The control's name in the window's design: its objectName.
constexpr QLatin1String controlName(ControlId id) { return kControlNames[std::size_t(id)]; }
/// What the control is for, as assistive technology tells it.
constexpr QLatin1String controlRole(ControlId id) { return kControlRoles[std::size_t(id)]; }

} // namespace window
