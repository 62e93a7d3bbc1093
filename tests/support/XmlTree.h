// An XML document read into a tree, so that tests check elements and attributes
// rather than the writer's spacing; a document that does not parse gives no root.
#pragma once

#include <QString>
#include <QXmlStreamReader>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace discforge::test {

struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text; // the element's own text, trimmed
    std::vector<XmlElement> children;

    std::string Attribute(const std::string& key) const
    {
        const auto found = attributes.find(key);
        return found != attributes.end() ? found->second : std::string();
    }
    std::vector<const XmlElement*> Children(const std::string& childName) const
    {
        std::vector<const XmlElement*> found;
        for (const XmlElement& child : children) {
            if (child.name == childName) {
                found.push_back(&child);
            }
        }
        return found;
    }
    // The first child of each name along `path`, such as {"vmgm", "menus"}; null when missing.
    const XmlElement* Find(const std::vector<std::string>& path) const
    {
        const XmlElement* at = this;
        for (const std::string& step : path) {
            const std::vector<const XmlElement*> next = at->Children(step);
            if (next.empty()) {
                return nullptr;
            }
            at = next.front();
        }
        return at;
    }
};

inline std::optional<XmlElement> ParseXml(const std::string& document)
{
    QXmlStreamReader reader(QString::fromStdString(document));
    std::vector<XmlElement> open;
    std::optional<XmlElement> root;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            XmlElement element;
            element.name = reader.name().toString().toStdString();
            for (const QXmlStreamAttribute& attribute : reader.attributes()) {
                element.attributes[attribute.name().toString().toStdString()] = attribute.value().toString().toStdString();
            }
            open.push_back(std::move(element));
            break;
        }
        case QXmlStreamReader::Characters:
            if (!open.empty()) {
                open.back().text += reader.text().toString().trimmed().toStdString();
            }
            break;
        case QXmlStreamReader::EndElement: {
            XmlElement done = std::move(open.back());
            open.pop_back();
            if (open.empty()) {
                root = std::move(done);
            } else {
                open.back().children.push_back(std::move(done));
            }
            break;
        }
        default:
            break;
        }
    }
    if (reader.hasError()) {
        return std::nullopt;
    }
    return root;
}

} // namespace discforge::test
