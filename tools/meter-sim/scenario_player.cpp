#include "scenario_player.h"

#include "demo_cycle.h"

namespace metersim {

ScenarioPlayer::ScenarioPlayer(Script script, bool loop)
    : m_script(std::move(script)), m_loop(loop) {}

std::optional<QByteArray> ScenarioPlayer::next() {
    if (m_script.steps.empty()) {
        QByteArray reading;
        for (int n = 0; n < kFramesPerReading; ++n) {
            const meter::MeterFrame frame = encodeDisplay(demoDisplay(m_demoFrame++));
            reading.append(reinterpret_cast<const char *>(frame.bytes.data()), meter::kFrameLength);
        }
        return reading;
    }
    if (m_repeatsDone == m_script.steps[m_step].repeat) {
        m_repeatsDone = 0;
        if (++m_step == m_script.steps.size()) {
            if (!m_loop)
                return std::nullopt;
            m_step = 0;
        }
    }
    ++m_repeatsDone;
    return m_script.steps[m_step].bytes;
}

} // namespace metersim
