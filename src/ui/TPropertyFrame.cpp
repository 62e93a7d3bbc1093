#include "ui/TPropertyFrame.h"

#include "ui/OptionEditor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace discforge::ui {
namespace {

constexpr int frameWidth = 820;
constexpr int frameHeight = 520;

enum Column { nameColumn, editorColumn, defaultColumn, currentColumn, helpColumn };

QLabel* SmallLabel(const std::string& text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TPropertyFrame::TPropertyFrame(
    FilterDialogModel& model, std::string component, std::vector<ComponentOption> options, QWidget* parent)
    : QDialog(parent)
    , model_(model)
    , component_(std::move(component))
{
    setObjectName(property_frame::objectNameText);
    setWindowTitle(QString::fromUtf8(filter_dialog_message::frameCaption));
    setModal(true);
    resize(frameWidth, frameHeight);
    for (ComponentOption& option : options) {
        rows_.push_back(Row{std::move(option), nullptr, nullptr});
    }

    auto* area = new QScrollArea(this);
    area->setObjectName(property_frame::areaNameText);
    area->setWidgetResizable(true);
    area->setWidget(MakeRows(area));

    auto* reset = new QPushButton(tr("&Reset"), this);
    reset->setObjectName(property_frame::resetNameText);
    reset->setAutoDefault(false);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(property_frame::okNameText);
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(property_frame::cancelNameText);
    cancel->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, &TPropertyFrame::Reset);
    connect(ok, &QPushButton::clicked, this, &TPropertyFrame::Ok);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromStdString(component_), this));
    layout->addWidget(area, 1);
    layout->addLayout(buttons);
    if (!rows_.empty()) {
        rows_.front().editor->setFocus();
    }
}

QWidget* TPropertyFrame::MakeRows(QWidget* parent)
{
    auto* sheet = new QWidget(parent);
    auto* grid = new QGridLayout(sheet);
    const char* headings[] = {"Option", "Value", "Default", "Current", "Description"};
    for (int column = nameColumn; column <= helpColumn; ++column) {
        auto* heading = new QLabel(tr(headings[column]), sheet);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        grid->addWidget(heading, 0, column);
    }
    int line = 1;
    for (Row& row : rows_) {
        auto* name = SmallLabel(row.option.name, sheet);
        row.editor = MakeOptionEditor(row.option, sheet);
        name->setBuddy(row.editor);
        row.current = SmallLabel(row.option.currentValue, sheet);
        auto* help = SmallLabel(row.option.help, sheet);
        help->setWordWrap(true);
        grid->addWidget(name, line, nameColumn);
        grid->addWidget(row.editor, line, editorColumn);
        grid->addWidget(SmallLabel(row.option.defaultValue, sheet), line, defaultColumn);
        grid->addWidget(row.current, line, currentColumn);
        grid->addWidget(help, line, helpColumn);
        ++line;
    }
    grid->setColumnStretch(helpColumn, 1);
    grid->setRowStretch(line, 1);
    return sheet;
}

void TPropertyFrame::Ok()
{
    OptionValues entered;
    std::vector<ComponentOption> shown;
    for (const Row& row : rows_) {
        entered[row.option.name] = EditorValue(row.editor, row.option);
        shown.push_back(row.option);
    }
    if (model_.Choose(component_, shown, entered)) {
        accept();
    }
}

void TPropertyFrame::Reset()
{
    model_.Reset(component_);
    for (Row& row : rows_) {
        row.option.currentValue = row.option.defaultValue;
        SetEditorValue(row.editor, row.option, row.option.defaultValue);
        row.current->setText(QString::fromStdString(row.option.defaultValue));
    }
}

} // namespace discforge::ui
