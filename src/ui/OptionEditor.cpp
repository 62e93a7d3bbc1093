#include "ui/OptionEditor.h"

#include "ui/WheelPassesUnfocused.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <charconv>
#include <climits>
#include <optional>

namespace discforge::ui {
namespace {

// Flags are laid out in rows of this many check boxes.
constexpr int flagColumns = 3;
// Wider ranges than a double spin box shows sensibly are cut to this.
constexpr double numberLimit = 1e15;

std::optional<long long> WholeNumber(const std::string& text)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

bool FitsSpinBox(const ComponentOption& option) { return option.minimum >= INT_MIN && option.maximum <= INT_MAX; }

bool IsOn(const std::string& value)
{
    const std::optional<long long> number = WholeNumber(value);
    return number ? *number != 0 : value == "true" || value == "on" || value == "yes";
}

// The flags a value names, by name ("a+b") or as a number.
bool FlagIsSet(const std::string& value, const OptionConstant& flag)
{
    if (const std::optional<long long> number = WholeNumber(value)) {
        return (*number & flag.value) == flag.value;
    }
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t plus = value.find('+', start);
        if (plus == std::string::npos) {
            plus = value.size();
        }
        if (value.compare(start, plus - start, flag.name) == 0 && plus - start == flag.name.size()) {
            return true;
        }
        start = plus + 1;
    }
    return false;
}

QWidget* MakeFlags(const ComponentOption& option, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    int placed = 0;
    for (const OptionConstant& flag : option.constants) {
        if (flag.value == 0) {
            continue;
        }
        auto* check = new QCheckBox(QString::fromStdString(flag.name), box);
        check->setObjectName(QString::fromStdString(flag.name));
        check->setToolTip(QString::fromStdString(flag.help));
        grid->addWidget(check, placed / flagColumns, placed % flagColumns);
        ++placed;
    }
    return box;
}

QWidget* MakeChoice(const ComponentOption& option, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    for (const OptionConstant& constant : option.constants) {
        list->addItem(QString::fromStdString(constant.name));
        list->setItemData(list->count() - 1, QString::fromStdString(constant.help), Qt::ToolTipRole);
    }
    return list;
}

QWidget* MakeNumber(const ComponentOption& option, QWidget* parent)
{
    auto* spin = new QDoubleSpinBox(parent);
    spin->setDecimals(6);
    spin->setRange(std::max(option.minimum, -numberLimit), std::min(option.maximum, numberLimit));
    return spin;
}

} // namespace

QWidget* MakeOptionEditor(const ComponentOption& option, QWidget* parent)
{
    QWidget* editor = nullptr;
    switch (option.control) {
    case OptionControl::Integer:
        if (FitsSpinBox(option)) {
            auto* spin = new QSpinBox(parent);
            spin->setRange(static_cast<int>(option.minimum), static_cast<int>(option.maximum));
            editor = spin;
        } else {
            editor = new QLineEdit(parent);
        }
        break;
    case OptionControl::Number:
        editor = MakeNumber(option, parent);
        break;
    case OptionControl::CheckBox:
        editor = new QCheckBox(parent);
        break;
    case OptionControl::Choice:
        editor = MakeChoice(option, parent);
        break;
    case OptionControl::Flags:
        editor = MakeFlags(option, parent);
        break;
    case OptionControl::Text:
        editor = new QLineEdit(parent);
        break;
    }
    // The options sit in a scrolling list: a wheel over them scrolls it.
    if (qobject_cast<QAbstractSpinBox*>(editor) != nullptr || qobject_cast<QComboBox*>(editor) != nullptr) {
        LetWheelPassUnfocused(editor);
    }
    editor->setObjectName(QString::fromStdString(option.name));
    editor->setToolTip(QString::fromStdString(option.help));
    SetEditorValue(editor, option, option.currentValue);
    return editor;
}

std::string EditorValue(const QWidget* editor, const ComponentOption& option)
{
    if (const auto* spin = qobject_cast<const QSpinBox*>(editor)) {
        return std::to_string(spin->value());
    }
    if (const auto* spin = qobject_cast<const QDoubleSpinBox*>(editor)) {
        return QString::number(spin->value(), 'g', 15).toStdString();
    }
    if (const auto* line = qobject_cast<const QLineEdit*>(editor)) {
        return line->text().toStdString();
    }
    if (const auto* list = qobject_cast<const QComboBox*>(editor)) {
        return list->currentText().toStdString();
    }
    if (option.control == OptionControl::CheckBox) {
        return qobject_cast<const QCheckBox*>(editor)->isChecked() ? "1" : "0";
    }
    std::string flags;
    for (const OptionConstant& flag : option.constants) {
        const auto* check = editor->findChild<const QCheckBox*>(QString::fromStdString(flag.name));
        if (flag.value != 0 && check != nullptr && check->isChecked()) {
            flags += (flags.empty() ? "" : "+") + flag.name;
        }
    }
    return flags.empty() ? "0" : flags;
}

void SetEditorValue(QWidget* editor, const ComponentOption& option, const std::string& value)
{
    const QString text = QString::fromStdString(value);
    if (auto* spin = qobject_cast<QSpinBox*>(editor)) {
        spin->setValue(static_cast<int>(WholeNumber(value).value_or(0)));
    } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(editor)) {
        spin->setValue(text.toDouble());
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(text);
    } else if (auto* list = qobject_cast<QComboBox*>(editor)) {
        // A value that is not one of the names (a number) is offered as it is.
        if (list->findText(text) < 0) {
            list->addItem(text);
        }
        list->setCurrentIndex(list->findText(text));
    } else if (option.control == OptionControl::CheckBox) {
        qobject_cast<QCheckBox*>(editor)->setChecked(IsOn(value));
    } else {
        for (const OptionConstant& flag : option.constants) {
            if (auto* check = editor->findChild<QCheckBox*>(QString::fromStdString(flag.name))) {
                check->setChecked(FlagIsSet(value, flag));
            }
        }
    }
}

} // namespace discforge::ui
