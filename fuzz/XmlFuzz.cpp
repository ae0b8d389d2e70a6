// XML rendering: any text, with a small nesting bound chosen by the first
// byte so that short inputs reach the cut. TinyXML must never build (and so
// never recurse) deeper than the bound on the text the cut leaves, the fast
// walk must cut where the walk with TinyXML's readers cuts, and the renderer
// itself must survive the text.

#include "CTexteDlg.h"
#include "EtatProgramme.h"
#include "FuzzCheck.h"
#include "ProfondeurXml.h"
#include "XmlVersTexte.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 131068) {
        return 0;
    }
    const int borne = 1 + data[0] % 16;
    const std::string xml(reinterpret_cast<const char*>(data + 1), size - 1);
    const char* texte = xml.c_str();  // up to the first NUL, as the API's buffer

    const std::size_t longueur = quintor::longueurAvantProfondeur(texte, borne);
    FUZZ_CHECK(longueur <= std::strlen(texte));
    FUZZ_CHECK(quintor::test::profondeurAnalysee(std::string(texte, longueur)) <= borne);
    // The byte loops of the fast reading agree with TinyXML's own readers.
    FUZZ_CHECK(longueur == quintor::longueurAvantProfondeur(texte, borne, quintor::Lecture::LecteursTinyXml));

    quintor::EtatProgramme etat;
    quintor::CTexteDlg dialogue(etat);
    quintor::XmlVersTexte(texte, dialogue, "R");
    // The listing is whole lines.
    FUZZ_CHECK(dialogue.text.empty() || dialogue.text.ends_with("\r\n"));
    return 0;
}
