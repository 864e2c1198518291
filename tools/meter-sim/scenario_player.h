#pragma once

#include "scenario_script.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace metersim {

/// Hands out the bytes to send, reading by reading (one receive event of the program): a
/// script's steps in order (once, or over and over), or, without a script, the built-in demo's
/// endless cycle, two of its frames a reading.
class ScenarioPlayer {
  public:
    ScenarioPlayer() = default; ///< the demo
    ScenarioPlayer(Script script, bool loop);

    /// The next reading's bytes, or nothing when a script played once has ended.
    std::optional<QByteArray> next();

  private:
    Script m_script;
    bool m_loop = false;
    std::size_t m_step = 0;
    int m_repeatsDone = 0;
    std::uint64_t m_demoFrame = 0;
};

} // namespace metersim
