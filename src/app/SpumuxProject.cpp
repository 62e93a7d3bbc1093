#include "app/SpumuxProject.h"

#include "app/DvdauthorProject.h"

#include <QString>
#include <QXmlStreamWriter>

namespace discforge {

std::string SpumuxProject(const MenuPage& page, const MenuFrame& frame, bool letterbox, const std::string& highlight,
    const std::string& select)
{
    QString text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement("subpictures");
    xml.writeStartElement("stream");
    xml.writeStartElement("spu");
    xml.writeAttribute("start", "00:00:00.00");
    xml.writeAttribute("force", "yes"); // a menu's highlight shows whatever the subtitle choice
    xml.writeAttribute("highlight", QString::fromStdString(highlight));
    xml.writeAttribute("select", QString::fromStdString(select));
    for (std::size_t i = 0; i < page.buttons.size(); ++i) {
        const MenuButton& button = page.buttons[i];
        const MenuRect area = FrameRect(button.area, frame, letterbox);
        xml.writeEmptyElement("button");
        xml.writeAttribute("name", QString::fromStdString(MenuButtonName(static_cast<int>(i))));
        xml.writeAttribute("x0", QString::number(area.x));
        xml.writeAttribute("y0", QString::number(area.y));
        xml.writeAttribute("x1", QString::number(area.Right()));
        xml.writeAttribute("y1", QString::number(area.Bottom()));
        xml.writeAttribute("up", QString::fromStdString(MenuButtonName(button.up)));
        xml.writeAttribute("down", QString::fromStdString(MenuButtonName(button.down)));
        xml.writeAttribute("left", QString::fromStdString(MenuButtonName(button.left)));
        xml.writeAttribute("right", QString::fromStdString(MenuButtonName(button.right)));
    }
    xml.writeEndDocument();
    return text.toStdString();
}

} // namespace discforge
