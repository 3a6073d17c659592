#include "ui/model/help.h"

#include "ui/model/version.h"

namespace uimodel {

namespace {

constexpr int kWidth = 624;
constexpr int kHeight = 458;
constexpr int kMemoHeight = 393;
constexpr int kButtonTop = kMemoHeight + 4;
constexpr int kStatusHeight = 19;

}  // namespace

const HelpLayout kHelpLayout{
    .window = {kWidth, kHeight},
    .memo = {0, 0, kWidth, kMemoHeight},
    .contactButton = {8, kButtonTop, 130, 38},
    .closeButton = {(kWidth - 170) / 2, kButtonTop, 170, 38},
    .statusBar = {0, kHeight - kStatusHeight, kWidth, kStatusHeight},
};

AboutRequest HelpWindow::aboutRequest() const {
  return {m_caption, version::ProgramName()};
}

}  // namespace uimodel
