#include "window/window_model.h"

#include "core/number_text.h"

#include <algorithm>

namespace window {

namespace {

using Id = ControlId;

constexpr ControlId kHiddenAtStart[] = {Id::batteryLow,      Id::rs232Annunciator,
                                        Id::holdAnnunciator, Id::x10Annunciator,
                                        Id::lowAlarmLamp,    Id::highAlarmLamp};

} // namespace

WindowModel::WindowModel() : m_panels(kPanelCount) {
    for (int id = 0; id < kControlCount; ++id)
        m_controls[std::size_t(id)].text = QString::fromUtf16(kDesignTexts[std::size_t(id)]);
    for (ControlId id : kHiddenAtStart)
        state(id).visible = false;
    state(ControlId::receiveLamp).backColour = kLampOff;
    state(ControlId::gaugeValue).foreColour = core::kRed;
    readAlarmLimits();
}

WindowModel::Batch::Batch(WindowModel &model) : m_model(model) { ++m_model.m_batches; }

WindowModel::Batch::~Batch() {
    if (--m_model.m_batches == 0)
        m_model.endBatch();
}

void WindowModel::touch(ControlId id) {
    if (m_batches == 0)
        return;
    for (const auto &[kept, before] : m_before)
        if (kept == id)
            return;
    m_before.emplace_back(id, state(id));
}

void WindowModel::changed(ControlId id) {
    if (m_batches == 0)
        emit controlChanged(id);
}

void WindowModel::endBatch() {
    const auto before = std::exchange(m_before, {});
    const auto panelsBefore = std::exchange(m_panelsBefore, {});
    for (const auto &[id, was] : before)
        if (control(id) != was)
            emit controlChanged(id);
    for (const auto &[panel, was] : panelsBefore)
        if (panelText(panel) != was)
            emit panelChanged(panel);
}

template <typename T>
void WindowModel::assign(ControlId id, T ControlState::*member, const T &value) {
    if (state(id).*member == value)
        return;
    touch(id);
    state(id).*member = value;
    changed(id);
}

void WindowModel::setText(ControlId id, const QString &text) {
    assign(id, &ControlState::text, text);
    readAlarmLimits();
}

void WindowModel::readAlarmLimits() {
    m_highAlarmLimit = float(core::leadingNumber(text(ControlId::highAlarmLimit)));
    m_lowAlarmLimit = float(core::leadingNumber(text(ControlId::lowAlarmLimit)));
}

void WindowModel::setVisible(ControlId id, bool visible) {
    assign(id, &ControlState::visible, visible);
}

void WindowModel::setBackColour(ControlId id, core::Rgb colour) {
    assign(id, &ControlState::backColour, std::optional(colour));
}

void WindowModel::setForeColour(ControlId id, core::Rgb colour) {
    assign(id, &ControlState::foreColour, std::optional(colour));
}

void WindowModel::setFontSize(ControlId id, double points) {
    assign(id, &ControlState::fontSize, std::optional(points));
}

void WindowModel::setValue(ControlId id, int value) {
    ControlState &control = state(id);
    if (id == ControlId::historySlider)
        value = std::clamp(value, 0, control.maximum);
    if (control.value == value)
        return;
    touch(id);
    control.value = value;
    changed(id);
}

void WindowModel::setMaximum(ControlId id, int maximum) {
    ControlState &control = state(id);
    if (control.maximum == maximum)
        return;
    touch(id);
    control.maximum = maximum;
    control.value = std::clamp(control.value, 0, std::max(0, maximum));
    changed(id);
}

void WindowModel::setItems(ControlId id, const QList<ComboItem> &items) {
    assign(id, &ControlState::items, items);
}

QString WindowModel::panelText(int panel) const { return m_panels.value(panel - 1); }

void WindowModel::setPanelText(int panel, const QString &text) {
    if (panel < 1 || panel > kPanelCount || m_panels[panel - 1] == text)
        return;
    if (m_batches > 0) {
        if (std::none_of(m_panelsBefore.begin(), m_panelsBefore.end(),
                         [panel](const auto &kept) { return kept.first == panel; }))
            m_panelsBefore.emplace_back(panel, m_panels[panel - 1]);
        m_panels[panel - 1] = text;
        return;
    }
    m_panels[panel - 1] = text;
    emit panelChanged(panel);
}

void WindowModel::setGridLook(const GridLook &look) {
    if (m_gridLook == look)
        return;
    m_gridLook = look;
    changed(ControlId::logGrid);
}

void WindowModel::setClockTimer(TimerState state) {
    if (m_clockTimer == state)
        return;
    m_clockTimer = state;
    emit timerChanged();
}

void WindowModel::setBusyPointer(bool busy) {
    if (m_busyPointer == busy)
        return;
    m_busyPointer = busy;
    emit pointerChanged();
}

void WindowModel::setSplashOpen(bool open) {
    if (m_splashOpen == open)
        return;
    m_splashOpen = open;
    emit splashChanged();
}

} // namespace window
