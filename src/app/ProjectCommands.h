// Saving the inputs with their options into a project file, and opening one:
// every input is opened again from its path, then the saved choices are put
// back over what the open gave it. Failures are shown to the user here.
#pragma once

#include "core/ConversionSettings.h"
#include "formats/ShapeChoice.h"
#include "input/InputTableState.h"

#include <memory>
#include <string>
#include <vector>

namespace discforge {

class AppParts;
struct InputEntry;
class ProjectExtension;
struct ProjectContents;

class ProjectCommands {
public:
    explicit ProjectCommands(AppParts& core)
        : core_(core)
    {
    }

    bool SaveProject(const std::string& path);
    // Inputs whose files are gone are named in one message and left out. The
    // list is replaced only once the project has loaded: when none of its inputs
    // is there or opens, or the load fails later, the earlier inputs, their
    // options and the batch's choices come back as they were. A file that ends
    // inside its records is the exception: the inputs opened from the whole
    // records stay.
    bool OpenProject(const std::string& path);

private:
    // What a load sets aside and puts back when it fails.
    struct EarlierWork {
        std::unique_ptr<InputTableState> inputs;
        ConversionSettings settings;
        bool standardChosen = false;
        bool liveOutputPreview = true;
    };
    void SetAside(EarlierWork& earlier);
    // Drops what the load opened and restores the earlier inputs, the active one open again.
    void PutBack(EarlierWork& earlier);
    bool FailOpen(const char* text, const std::string& path);
    void RemoveEveryInput();
    // Opens the inputs of `records` (indexes into the project's records) and
    // gives the records of those that opened, in order.
    std::vector<int> ReopenInputs(const ProjectContents& contents, const std::vector<int>& records);
    bool SelectSaved(const ProjectContents& contents, const std::vector<int>& opened);
    static ShapeChoice SavedShape(const ProjectExtension& extension);

    AppParts& core_;
};

// Puts the choices a project keeps (options, selection, position) from a saved
// record over a freshly opened entry, limited to what the entry now holds.
void RestoreSavedChoices(InputEntry& entry, const InputEntry& saved);

} // namespace discforge
