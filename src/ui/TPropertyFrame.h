// The property frame of one component: a row for each of its options (name,
// control, default, current value, help) in a scrolling area, with OK, Cancel
// and Reset. OK applies the values to the open and remembers them; a value the
// component refuses is shown with its reason and the frame stays open. Reset
// returns every option to its default.
#pragma once

#include "core/FilterDialogModel.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;

namespace discforge::ui {

namespace property_frame {
inline constexpr const char* objectNameText = "propertyFrame";
inline constexpr const char* areaNameText = "optionArea";
inline constexpr const char* okNameText = "okButton";
inline constexpr const char* cancelNameText = "cancelButton";
inline constexpr const char* resetNameText = "resetButton";
} // namespace property_frame

class TPropertyFrame : public QDialog {
public:
    TPropertyFrame(
        FilterDialogModel& model, std::string component, std::vector<ComponentOption> options, QWidget* parent);

    void Ok();
    void Reset();

private:
    struct Row {
        ComponentOption option;
        QWidget* editor = nullptr;
        QLabel* current = nullptr;
    };

    QWidget* MakeRows(QWidget* parent);

    FilterDialogModel& model_;
    std::string component_;
    std::vector<Row> rows_;
};

} // namespace discforge::ui
