-- Conversions between the library's language numbers, the three-letter codes that name the
-- term, error and attribute tables, and the directory names of the errors directories.
local utilities = {}

-- Index = language number + 1.
utilities.ThreeLetterLngStrings = { "eng", "fra", "deu", "jpn", "kor", "chs" }

-- Code of languages the library does not know; no table is named after it.
utilities.UnknownLanguage = "zzz"

local longNames = {
    eng = "English",
    fra = "French",
    deu = "German",
    jpn = "Japanese",
    kor = "Korean",
    chs = "ChineseS",
}

-- The three-letter code of a language number, "zzz" for any other value.
function utilities.threeLetterCode(lang)
    return utilities.ThreeLetterLngStrings[(tonumber(lang) or -1) + 1] or utilities.UnknownLanguage
end

-- The language directory name of a three-letter code, nil for "zzz" and unknown codes.
function utilities.longName(code)
    return longNames[code]
end

return utilities
