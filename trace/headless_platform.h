// SPDX-License-Identifier: MIT
// The platform of the trace tool: no window and no toolkit.
//
// A message box is written as one JSON line when it opens and is answered with OK at once;
// numbers are formatted with fixed regional settings, so the output never depends on the
// machine it runs on.
#pragma once

#include <string>

#include "shell/runtime/platform.h"

namespace vandrel::headless {

class HeadlessPlatform : public Platform {
  public:
    /// Message box lines are appended to `out`, which must outlive the platform.
    explicit HeadlessPlatform(std::string& out) : out_(out) {}

    /// Writes {"msgbox":{"title":...,"prompt":...,"buttons":N}} and answers OK (1).
    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
    const Regional& regional() const override { return regional_; }

  private:
    std::string& out_;
    Regional regional_ = invariantRegional();
};

}  // namespace vandrel::headless
