#include "app/ControlEnabling.h"

#include "core/ControlIds.h"

#include <array>

namespace discforge {
namespace {

constexpr std::array ruled{
    control::inputPosition,
    control::invertCheck,
    control::fillRadio,
    control::proportionalRadio,
    control::ntscRadio,
    control::palRadio,
    control::inputPlay,
    control::startConversion,
    control::openInput,
    control::exitButton,
    control::outputPosition,
    control::widthEdit,
    control::heightEdit,
    control::outputPlay,
    control::chooseOutput,
    control::outputName,
    control::inputList,
    control::vcdRadio,
    control::dvdRadio,
    control::svcdRadio,
    control::splitCheck,
    control::maxSizeEdit,
    control::discCheck,
    control::chooseDiscFolder,
    control::shapeAutoRadio,
    control::shapeFourByThreeRadio,
    control::shapeSixteenByNineRadio,
    control::discSizeChoice,
    control::discSizeEdit,
};

} // namespace

std::span<const int> RuledControls() { return ruled; }

bool ControlEnabled(int id, const WindowState& state)
{
    const bool inputs = state.inputCount > 0;
    const bool playing = state.playing != PlayingSide::none;
    const bool idle = !playing && !state.converting;
    switch (id) {
    case control::inputPlay:
        // While the input preview plays its button is the stop button.
        return inputs && !state.converting && state.playing != PlayingSide::output;
    case control::outputPlay:
        return inputs && !state.converting && state.playing != PlayingSide::input;
    case control::openInput:
        return idle;
    case control::exitButton:
        // During a conversion Exit asks whether to cancel it.
        return !playing;
    case control::inputList:
        return idle;
    case control::vcdRadio:
    case control::dvdRadio:
    case control::svcdRadio:
    case control::splitCheck:
    // The disc is made after the run; its folder dialog must not open inside one.
    case control::discCheck:
    case control::chooseDiscFolder:
    case control::shapeAutoRadio:
    case control::shapeFourByThreeRadio:
    case control::shapeSixteenByNineRadio:
    // The batch is planned when it starts; choosing its disc needs no input yet.
    case control::discSizeChoice:
        return !state.converting;
    case control::discSizeEdit:
        return state.megabytesDisc && !state.converting;
    case control::maxSizeEdit:
        return state.splitOutput && !state.converting;
    default:
        return inputs && idle;
    }
}

} // namespace discforge
