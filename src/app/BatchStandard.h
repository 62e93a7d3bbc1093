// One television standard for the whole batch. The first video input proposes
// it; once the user has chosen one (a radio button, the command line, a
// project), inputs no longer change it. An input whose rate suits the other
// standard is named, with the standard it will be written in and why.
#pragma once

namespace discforge {

class AppParts;

class BatchStandard {
public:
    explicit BatchStandard(AppParts& core)
        : core_(core)
    {
    }

    // Input `index` has just been opened and counted.
    void InputOpened(int index);
    // The standard now in the settings is the user's own choice.
    void ChosenByUser() { chosenByUser_ = true; }
    bool IsChosenByUser() const { return chosenByUser_; }
    // Puts back what IsChosenByUser said before a load that did not complete.
    void KeepChoice(bool chosenByUser) { chosenByUser_ = chosenByUser; }

private:
    AppParts& core_;
    bool chosenByUser_ = false;
};

} // namespace discforge
