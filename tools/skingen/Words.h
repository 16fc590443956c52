#pragma once
// The words drawn into the skin's pictures, per language. English pictures
// lie in the assets folder itself, each other language's in assets/<code>/,
// where the program's resources offer them to that language.

#include <array>

struct TSkinWords {
    const char* code; // "" for English, else the folder and resource language
    const char* open; // the Open and Save bars
    const char* save;
    const char* ringtoneFile; // left column title
    const char* audioInfo; // panel titles
    const char* segmentInfo;
    const char* adSlogan; // banner
    const char* adAction;
    const char* aboutLine1; // About window
    const char* aboutLine2;
    const char* rights;
};

inline constexpr std::array<TSkinWords, 5> SkinLanguages{{
    {"", "OPEN", "SAVE", "RINGTONE FILE", "Audio Information", "Selected Segment Info",
        "Cut your favourite song into a ringtone", "Open a music file to begin  \u25b8",
        "Turn your favourite songs into", "MP3 and AMR ringtones for your phone.",
        "\u00a9 2026 Velumo Soft. All rights reserved."},
    {"de", "ÖFFNEN", "SICHERN", "KLINGELTON", "Audio-Informationen", "Gewählter Abschnitt",
        "Machen Sie Ihr Lieblingslied zum Klingelton", "Zum Start eine Musikdatei öffnen  \u25b8",
        "Machen Sie aus Ihren Lieblingsliedern", "MP3- und AMR-Klingeltöne fürs Telefon.",
        "\u00a9 2026 Velumo Soft. Alle Rechte vorbehalten."},
    {"fr", "OUVRIR", "ENREGISTRER", "SONNERIE", "Informations audio", "Segment sélectionné",
        "Faites de votre chanson préférée une sonnerie", "Ouvrez un fichier musical  \u25b8",
        "Transformez vos chansons préférées en", "sonneries MP3 et AMR pour votre téléphone.",
        "\u00a9 2026 Velumo Soft. Tous droits réservés."},
    {"es", "ABRIR", "GUARDAR", "ARCHIVO DE TONO", "Información de audio", "Segmento elegido",
        "Convierta su canción favorita en un tono", "Abra un archivo de música  \u25b8",
        "Convierta sus canciones favoritas en", "tonos MP3 y AMR para su teléfono.",
        "\u00a9 2026 Velumo Soft. Todos los derechos reservados."},
    {"pt_BR", "ABRIR", "SALVAR", "ARQUIVO DE TOQUE", "Informações de áudio", "Trecho selecionado",
        "Transforme sua música favorita em toque", "Abra um arquivo de música  \u25b8",
        "Transforme suas músicas favoritas em", "toques MP3 e AMR para o seu telefone.",
        "\u00a9 2026 Velumo Soft. Todos os direitos reservados."},
}};
