#pragma once
// Element depth of what TinyXML builds from a text, counted without
// recursion: what the renderer's depth bound is checked against, by its unit
// tests and by its fuzz target alike.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <tinyxml.h>

namespace quintor::test {

inline int profondeurAnalysee(std::string texte)
{
    texte.append(8, '\0');  // the renderer's margin for TinyXML's reads past a truncated UTF-8 sequence
    TiXmlDocument document;
    document.Parse(texte.c_str());
    int profondeur = 0;
    std::vector<std::pair<const TiXmlNode*, int>> pile{{&document, 0}};
    while (!pile.empty()) {
        const auto [noeud, niveau] = pile.back();
        pile.pop_back();
        profondeur = std::max(profondeur, niveau);
        for (const TiXmlElement* e = noeud->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
            pile.emplace_back(e, niveau + 1);
        }
    }
    return profondeur;
}

}  // namespace quintor::test
