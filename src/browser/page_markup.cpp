#include "browser/page_markup.h"

#include "store/workbook/ascii_case.h"

#include <algorithm>
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <memory>
#include <optional>

namespace tomorine {

namespace {

std::string Text(const xmlChar* text) {
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

std::string CollapseSpaces(const std::string& text) {
    std::string out;
    bool space = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') {
            space = !out.empty();
            continue;
        }
        if (space) {
            out += ' ';
            space = false;
        }
        out += c;
    }
    return out;
}

bool NeedsQuotes(const std::string& value) {
    return value.empty() || value.find_first_of(" \"'=<>`") != std::string::npos;
}

std::string AttributeText(xmlAttr* attribute) {
    xmlChar* raw = xmlNodeListGetString(attribute->doc, attribute->children, 1);
    std::string value = Text(raw);
    xmlFree(raw);
    const auto lineBreakOrTab = [](char c) { return c == '\r' || c == '\n' || c == '\t'; };
    std::replace_if(value.begin(), value.end(), lineBreakOrTab, ' ');
    std::string text = Text(attribute->name) + "=";
    if (!NeedsQuotes(value)) {
        return text + value;
    }
    text += '"';
    for (char c : value) {
        text += c == '"' ? std::string("&quot;") : std::string(1, c);
    }
    return text + '"';
}

xmlAttr* AttributeNamed(xmlNode* element, std::string_view name) {
    for (xmlAttr* a = element->properties; a; a = a->next) {
        if (AsciiLower(Text(a->name)) == name) {
            return a;
        }
    }
    return nullptr;
}

// The keyword rule reads content before name, as the old browser component
// wrote every META element; a page may order, spell or decorate it otherwise.
std::optional<std::string> KeywordsMetaTag(xmlNode* element) {
    if (AsciiLower(Text(element->name)) != "meta") {
        return std::nullopt;
    }
    xmlAttr* name = AttributeNamed(element, "name");
    xmlAttr* content = AttributeNamed(element, "content");
    if (!name || !content) {
        return std::nullopt;
    }
    xmlChar* raw = xmlNodeListGetString(name->doc, name->children, 1);
    const bool keywords = AsciiLower(Text(raw)) == "keywords";
    xmlFree(raw);
    if (!keywords) {
        return std::nullopt;
    }
    return "<meta " + AttributeText(content) + " name=keywords>";
}

std::string StartTag(xmlNode* element) {
    if (auto keywords = KeywordsMetaTag(element)) {
        return *keywords;
    }
    std::string tag = "<" + Text(element->name);
    for (xmlAttr* a = element->properties; a; a = a->next) {
        tag += ' ' + AttributeText(a);
    }
    return tag + '>';
}

// Depth-first over the elements without recursion: pages nest deeply.
xmlNode* NextNode(xmlNode* node) {
    if (node->children) {
        return node->children;
    }
    while (node) {
        if (node->next) {
            return node->next;
        }
        node = node->parent;
    }
    return nullptr;
}

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

} // namespace

PageMarkup ParsePageMarkup(std::string_view utf8Html) {
    PageMarkup page;
    if (utf8Html.empty()) {
        return page;
    }
    const int options =
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        htmlReadMemory(utf8Html.data(), static_cast<int>(utf8Html.size()), nullptr, "UTF-8",
                       options),
        &xmlFreeDoc);
    if (!doc) {
        return page;
    }
    xmlNode* root = xmlDocGetRootElement(doc.get());
    bool titleFound = false;
    for (xmlNode* node = root; node; node = NextNode(node)) {
        if (node->type != XML_ELEMENT_NODE) {
            continue;
        }
        if (!page.markup.empty()) {
            page.markup += "\r\n";
        }
        page.markup += StartTag(node);
        if (!titleFound && Text(node->name) == "title") {
            xmlChar* content = xmlNodeGetContent(node);
            page.title = CollapseSpaces(Text(content));
            xmlFree(content);
            titleFound = true;
        }
    }
    page.markup = UpperAscii(std::move(page.markup));
    return page;
}

} // namespace tomorine
