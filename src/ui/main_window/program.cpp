#include "ui/main_window/program.h"

#include "core/clock.h"
#include "ui/help/form4.h"
#include "ui/main_window/clock_tick.h"
#include "ui/main_window/qt_message_boxes.h"

#include <QApplication>

namespace ui {

namespace {

core::MessageBoxes &orScreen(core::MessageBoxes *given, std::unique_ptr<core::MessageBoxes> &screen,
                             QWidget *parent) {
    if (given)
        return *given;
    screen = std::make_unique<QtMessageBoxes>(parent);
    return *screen;
}

} // namespace

Program::Program(QString programDirectory, const core::Clock &clock, core::MessageBoxes *messages)
    : m_directory(std::move(programDirectory)), m_clock(clock), m_form1(m_model, m_grid),
      m_messages(orScreen(messages, m_screenMessages, &m_form1)),
      m_chart(m_model, m_form1.surface(ControlId::Picture1), m_form1.surface(ControlId::Picture2),
              m_form1.surface(ControlId::Picture3), m_form1.surface(ControlId::Picture6)),
      m_startUp(m_directory, m_model, m_data1, m_grid, m_form1.surface(ControlId::Picture1),
                m_chart, m_messages),
      m_form3(m_model, &m_form1) {
    QObject::connect(&m_form1, &Form1::timer1Ticked, &m_form1,
                     [this] { Timer1Tick(m_model, m_clock); });
    QObject::connect(&m_form1, &Form1::exitChosen, qApp, &QApplication::quit);
    QObject::connect(&m_form1, &Form1::helpChosen, &m_form1, [this] { showHelp(); });
    QObject::connect(&m_form1, &Form1::clicked, &m_form1,
                     [this](ControlId id) { m_chart.clicked(id); });
    QObject::connect(&m_form1, &Form1::keyPressed, &m_form1,
                     [this](ControlId id, int key) { m_chart.keyPressed(id, key); });
}

Program::~Program() = default;

void Program::start() {
    m_startUp.load();
    m_form1.show();
    m_startUp.activate();
}

void Program::showHelp() {
    help::Form4 form4(m_directory, &m_form1);
    form4.exec();
    m_startUp.activate();
}

} // namespace ui
