// Small DXF drawings written inline for the tests, one tag per pair of lines.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cadhost::dxf::test {

using Pairs = std::vector<std::pair<int, std::string>>;

// Tags as an ASCII DXF file: group codes right-aligned in three columns.
inline std::string asciiDxf(const Pairs& pairs, const std::string& eol = "\n") {
  std::string out;
  for (const auto& [code, value] : pairs) {
    std::string c = std::to_string(code);
    out += std::string(c.size() < 3 ? 3 - c.size() : 0, ' ') + c + eol + value + eol;
  }
  return out;
}

// An R2000 drawing: layers, a block with one attribute definition, a
// reference with its attribute in model space, a line with extended data, an
// entity type the host does not model, a paper-space text and an OBJECTS
// section.
inline Pairs r2000Drawing() {
  return {
      {0, "SECTION"}, {2, "HEADER"},
      {9, "$ACADVER"}, {1, "AC1015"},
      {9, "$HANDSEED"}, {5, "100"},
      {9, "$DWGCODEPAGE"}, {3, "ANSI_1252"},
      {9, "$INSBASE"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"},
      {9, "$CLAYER"}, {8, "0"},
      {9, "$CUSTOMVAR"}, {40, "2.5"},
      {0, "ENDSEC"},
      {0, "SECTION"}, {2, "TABLES"},
      {0, "TABLE"}, {2, "LTYPE"}, {5, "5"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "1"},
      {0, "LTYPE"}, {5, "14"}, {330, "5"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLinetypeTableRecord"},
      {2, "Continuous"}, {70, "0"}, {3, "Solid line"}, {72, "65"}, {73, "0"}, {40, "0.0"},
      {0, "ENDTAB"},
      {0, "TABLE"}, {2, "LAYER"}, {5, "2"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "2"},
      {0, "LAYER"}, {5, "10"}, {330, "2"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"},
      {2, "0"}, {70, "0"}, {62, "7"}, {6, "Continuous"}, {370, "-3"},
      {0, "LAYER"}, {5, "11"}, {330, "2"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"},
      {2, "Heads"}, {70, "0"}, {62, "3"}, {6, "Continuous"},
      {0, "ENDTAB"},
      {0, "TABLE"}, {2, "APPID"}, {5, "9"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "2"},
      {0, "APPID"}, {5, "12"}, {330, "9"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbRegAppTableRecord"},
      {2, "ACAD"}, {70, "0"},
      {0, "APPID"}, {5, "13"}, {330, "9"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbRegAppTableRecord"},
      {2, "Flags"}, {70, "0"},
      {0, "ENDTAB"},
      {0, "TABLE"}, {2, "BLOCK_RECORD"}, {5, "1"}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "3"},
      {0, "BLOCK_RECORD"}, {5, "1F"}, {330, "1"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"}, {2, "*Model_Space"},
      {0, "BLOCK_RECORD"}, {5, "1B"}, {330, "1"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"}, {2, "*Paper_Space"},
      {0, "BLOCK_RECORD"}, {5, "30"}, {330, "1"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"}, {2, "VALVE"},
      {0, "ENDTAB"},
      {0, "ENDSEC"},
      {0, "SECTION"}, {2, "BLOCKS"},
      {0, "BLOCK"}, {5, "20"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"},
      {2, "*Model_Space"}, {70, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, "*Model_Space"}, {1, ""},
      {0, "ENDBLK"}, {5, "21"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"},
      {0, "BLOCK"}, {5, "1C"}, {330, "1B"}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbBlockBegin"},
      {2, "*Paper_Space"}, {70, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, "*Paper_Space"}, {1, ""},
      {0, "ENDBLK"}, {5, "1D"}, {330, "1B"}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbBlockEnd"},
      {0, "BLOCK"}, {5, "31"}, {330, "30"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"},
      {2, "VALVE"}, {70, "2"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, "VALVE"}, {1, ""},
      {0, "CIRCLE"}, {5, "32"}, {330, "30"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbCircle"},
      {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {40, "1.0"},
      {0, "ATTDEF"}, {5, "33"}, {330, "30"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbText"},
      {10, "0.0"}, {20, "-2.0"}, {30, "0.0"}, {40, "0.5"}, {1, "S1"}, {100, "AcDbAttributeDefinition"},
      {3, "Station"}, {2, "STATION"}, {70, "0"},
      {0, "ENDBLK"}, {5, "34"}, {330, "30"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"},
      {0, "ENDSEC"},
      {0, "SECTION"}, {2, "ENTITIES"},
      {0, "INSERT"}, {5, "40"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "Heads"}, {100, "AcDbBlockReference"},
      {66, "1"}, {2, "VALVE"}, {10, "10.0"}, {20, "20.0"}, {30, "0.0"}, {50, "90.0"},
      {0, "ATTRIB"}, {5, "41"}, {330, "40"}, {100, "AcDbEntity"}, {8, "Heads"}, {100, "AcDbText"},
      {10, "10.0"}, {20, "18.0"}, {30, "0.0"}, {40, "0.5"}, {1, "12-A"}, {100, "AcDbAttribute"},
      {2, "STATION"}, {70, "0"}, {999, "kept comment"},
      {0, "SEQEND"}, {5, "42"}, {330, "40"}, {100, "AcDbEntity"}, {8, "Heads"},
      {0, "LINE"}, {5, "43"}, {330, "1F"}, {102, "{ACAD_REACTORS"}, {330, "50"}, {102, "}"},
      {100, "AcDbEntity"}, {8, "0"}, {62, "1"}, {100, "AcDbLine"},
      {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "5.0"}, {21, "5.0"}, {31, "0.0"},
      {1001, "Flags"}, {1000, "replaced"}, {1070, "3"}, {1010, "1.0"}, {1020, "2.0"}, {1030, "0.0"},
      {0, "XLINE"}, {5, "44"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbXline"},
      {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "1.0"}, {21, "0.0"}, {31, "0.0"},
      {0, "TEXT"}, {5, "45"}, {330, "1B"}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbText"},
      {10, "1.0"}, {20, "1.0"}, {30, "0.0"}, {40, "2.5"}, {1, "Title"}, {100, "AcDbText"},
      {0, "ENDSEC"},
      {0, "SECTION"}, {2, "OBJECTS"},
      {0, "DICTIONARY"}, {5, "C"}, {330, "0"}, {100, "AcDbDictionary"}, {281, "1"},
      {0, "ENDSEC"},
      {0, "EOF"},
  };
}

}  // namespace cadhost::dxf::test
