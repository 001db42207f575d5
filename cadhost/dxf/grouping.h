// Tags grouped into the DXF file structure: sections, records, tables, blocks,
// entities with their sub-entities, and the parts of one record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cadhost/dxf/tag.h"

namespace cadhost::dxf {

// Tags [first, last): one "0 TYPE" tag and what follows up to the next 0 tag.
struct Record {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
};

// "0 SECTION", "2 NAME", the body, "0 ENDSEC".
struct Section {
  std::string name;           // 2
  std::uint32_t first = 0;    // the SECTION tag
  std::uint32_t bodyFirst = 0;
  std::uint32_t bodyLast = 0;  // the ENDSEC tag
  std::uint32_t last = 0;      // past ENDSEC
};

// A HEADER variable: "9 $NAME" and its value tags.
struct HeaderVariable {
  std::string_view name;
  Record tags;  // first is the 9 tag
};

// An entity and the sub-entities it owns: ATTRIBs of an INSERT, VERTEXes of a
// POLYLINE, closed by a SEQEND.
// The children are a run of the record list the group was made from (no list
// of their own: a large drawing has a group per reference).
struct EntityGroup {
  Record head;
  std::span<const Record> children;  // ATTRIB or VERTEX records, then SEQEND when present
};

// "0 TABLE" head, its entries and "0 ENDTAB".
struct TableGroup {
  std::string name;  // 2 of the TABLE head
  Record head;
  std::vector<Record> entries;
  Record end;
};

// "0 BLOCK", its entities, "0 ENDBLK".
struct BlockGroup {
  Record block;
  std::vector<Record> content;        // the records between BLOCK and ENDBLK
  std::vector<EntityGroup> entities;  // grouped from `content`
  Record end;
};

// The parts of one record, by tag index.
struct RecordLayout {
  struct Part {
    std::string_view name;  // subclass, application
    Record tags;            // the marker tag included
  };
  std::vector<Part> appData;    // 102 "{APP" ... 102 "}"
  std::vector<Part> subclasses;  // 100 markers; tags before the first belong to none
  std::vector<Part> xdata;      // 1001 APP and its data, up to the next 1001
};

// Splits a file into sections. Throws DxfError naming the file and line for a
// tag outside a section, a section without name or a section left open.
std::vector<Section> splitSections(const TagList& tags, const std::string& fileName);
// Records of tags [first, last), each starting at a 0 tag.
std::vector<Record> splitRecords(const TagList& tags, std::uint32_t first, std::uint32_t last);
std::vector<HeaderVariable> headerVariables(const TagList& tags, const Section& header);
// Binds ATTRIB/VERTEX and SEQEND records to the INSERT or POLYLINE before them.
// The groups refer to `records`, which must outlive them.
std::vector<EntityGroup> groupEntities(const TagList& tags, const std::vector<Record>& records);
std::vector<EntityGroup> groupEntities(const TagList& tags, std::vector<Record>&& records) = delete;
std::vector<TableGroup> groupTables(const TagList& tags, const Section& section,
                                    const std::string& fileName);
std::vector<BlockGroup> groupBlocks(const TagList& tags, const Section& section,
                                    const std::string& fileName);
RecordLayout layoutOf(const TagList& tags, Record record);

// Where tag `index` is, for messages: "line 12" or "byte offset 345".
std::string locationOf(const TagList& tags, std::size_t index);

}  // namespace cadhost::dxf
