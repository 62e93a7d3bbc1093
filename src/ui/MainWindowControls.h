// The main window's controls by dialog id, as the core reads and writes them.
// An id may name several widgets (a play button and its stop button); a
// change reaches all of them.
#pragma once

#include "ports/ControlSurface.h"

#include <map>
#include <set>
#include <vector>

class QWidget;

namespace discforge::ui {

class MainWindowControls final : public ControlSurface {
public:
    void Add(int id, QWidget* widget);
    // The stop button that shares its id with a play button.
    void AddStopButton(int id, QWidget* widget);
    // The first widget with this id; null when there is none.
    QWidget* Find(int id) const;
    std::vector<QWidget*> All(int id) const;
    // The id of a widget; 0 when it is not one of the controls.
    int IdOf(const QWidget* widget) const;

    void SetChecked(int id, bool checked) override;
    bool IsChecked(int id) const override;
    void SetText(int id, const std::string& text) override;
    std::string Text(int id) const override;
    void SetEnabled(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void SetScrollRange(int id, const ScrollRange& range) override;
    ScrollRange GetScrollRange(int id) const override;
    void SetScrollPosition(int id, int position) override;
    int ScrollPosition(int id) const override;
    void ShowStopButton(int id, bool stopShown) override;
    bool StopButtonShown(int id) const override;

private:
    std::multimap<int, QWidget*> widgets_;
    std::set<const QWidget*> stopButtons_;
    std::map<int, ScrollRange> ranges_;
};

} // namespace discforge::ui
