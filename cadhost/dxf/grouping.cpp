#include "cadhost/dxf/grouping.h"

#include <algorithm>

#include "cadhost/dxf/error.h"
#include "cadhost/dxf/group_codes.h"

namespace cadhost::dxf {

namespace {

bool isStructure(const TagList& tags, std::size_t i, std::string_view value) {
  return tags.code(i) == codes::kStructure && tags.value(i) == value;
}

[[noreturn]] void fail(const TagList& tags, std::size_t index, const std::string& fileName,
                       const std::string& what) {
  throw DxfError(fileName + ", " + locationOf(tags, index) + ": " + what);
}

}  // namespace

std::string locationOf(const TagList& tags, std::size_t index) {
  const std::size_t offset = tags.raw(0, std::min(index, tags.size())).size() + tags.preamble().size();
  if (tags.format() == FileFormat::Binary) return "byte offset " + std::to_string(offset);
  const std::string_view before = tags.bytes().substr(0, offset);
  return "line " + std::to_string(std::count(before.begin(), before.end(), '\n') + 1);
}

std::vector<Section> splitSections(const TagList& tags, const std::string& fileName) {
  std::vector<Section> sections;
  const std::uint32_t count = static_cast<std::uint32_t>(tags.size());
  std::uint32_t i = 0;
  while (i < count) {
    // Comments before a section (LibreCAD, QCAD and FreeCAD open the file
    // with one) belong to it and are written back with it.
    std::uint32_t comments = i;
    while (i < count && tags.code(i) == codes::kComment) ++i;
    if (i >= count) break;
    if (isStructure(tags, i, "EOF")) break;
    if (!isStructure(tags, i, "SECTION"))
      fail(tags, i, fileName, "expected \"0 SECTION\", found group code " + std::to_string(tags.code(i)));
    if (i + 1 >= count || tags.code(i + 1) != codes::kName)
      fail(tags, i, fileName, "a section has no name");
    Section section;
    section.name = std::string(tags.value(i + 1));
    section.first = comments;
    section.bodyFirst = i + 2;
    std::uint32_t j = i + 2;
    while (j < count && !isStructure(tags, j, "ENDSEC")) {
      if (isStructure(tags, j, "SECTION") || isStructure(tags, j, "EOF"))
        fail(tags, j, fileName, "section " + section.name + " is not closed by ENDSEC");
      ++j;
    }
    if (j >= count) fail(tags, i, fileName, "section " + section.name + " is not closed by ENDSEC");
    section.bodyLast = j;
    section.last = j + 1;
    sections.push_back(std::move(section));
    i = j + 1;
  }
  return sections;
}

std::vector<Record> splitRecords(const TagList& tags, std::uint32_t first, std::uint32_t last) {
  std::vector<Record> records;
  for (std::uint32_t i = first; i < last;) {
    std::uint32_t j = i + 1;
    while (j < last && tags.code(j) != codes::kStructure) ++j;
    records.push_back(Record{i, j});
    i = j;
  }
  return records;
}

std::vector<HeaderVariable> headerVariables(const TagList& tags, const Section& header) {
  std::vector<HeaderVariable> variables;
  for (std::uint32_t i = header.bodyFirst; i < header.bodyLast;) {
    std::uint32_t j = i + 1;
    while (j < header.bodyLast && tags.code(j) != codes::kHeaderVariable) ++j;
    if (tags.code(i) == codes::kHeaderVariable) variables.push_back(HeaderVariable{tags.value(i), Record{i, j}});
    i = j;
  }
  return variables;
}

std::vector<EntityGroup> groupEntities(const TagList& tags, const std::vector<Record>& records) {
  std::vector<EntityGroup> groups;
  groups.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    EntityGroup group{records[i], {}};
    const std::string_view type = tags.value(records[i].first);
    const std::string_view child = type == "INSERT" ? "ATTRIB" : type == "POLYLINE" ? "VERTEX" : "";
    if (!child.empty()) {
      const std::size_t first = i + 1;
      while (i + 1 < records.size() && tags.value(records[i + 1].first) == child) ++i;
      if (i + 1 < records.size() && tags.value(records[i + 1].first) == "SEQEND") ++i;
      group.children = std::span<const Record>(records).subspan(first, i + 1 - first);
    }
    groups.push_back(group);
  }
  return groups;
}

std::vector<TableGroup> groupTables(const TagList& tags, const Section& section,
                                    const std::string& fileName) {
  std::vector<TableGroup> tables;
  const auto records = splitRecords(tags, section.bodyFirst, section.bodyLast);
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!isStructure(tags, records[i].first, "TABLE"))
      fail(tags, records[i].first, fileName, "expected \"0 TABLE\" in the TABLES section");
    TableGroup table;
    table.head = records[i];
    for (std::uint32_t t = records[i].first + 1; t < records[i].last; ++t)
      if (tags.code(t) == codes::kName) {
        table.name = std::string(tags.value(t));
        break;
      }
    while (++i < records.size() && !isStructure(tags, records[i].first, "ENDTAB")) {
      if (isStructure(tags, records[i].first, "TABLE"))
        fail(tags, records[i].first, fileName, "table " + table.name + " is not closed by ENDTAB");
      table.entries.push_back(records[i]);
    }
    if (i >= records.size()) fail(tags, table.head.first, fileName, "table " + table.name + " is not closed by ENDTAB");
    table.end = records[i];
    tables.push_back(std::move(table));
  }
  return tables;
}

std::vector<BlockGroup> groupBlocks(const TagList& tags, const Section& section,
                                    const std::string& fileName) {
  std::vector<BlockGroup> blocks;
  const auto records = splitRecords(tags, section.bodyFirst, section.bodyLast);
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!isStructure(tags, records[i].first, "BLOCK"))
      fail(tags, records[i].first, fileName, "expected \"0 BLOCK\" in the BLOCKS section");
    BlockGroup block;
    block.block = records[i];
    while (++i < records.size() && !isStructure(tags, records[i].first, "ENDBLK")) {
      if (isStructure(tags, records[i].first, "BLOCK"))
        fail(tags, records[i].first, fileName, "a block is not closed by ENDBLK");
      block.content.push_back(records[i]);
    }
    if (i >= records.size()) fail(tags, block.block.first, fileName, "a block is not closed by ENDBLK");
    block.end = records[i];
    // Moving the block later moves `content` without moving its records.
    block.entities = groupEntities(tags, block.content);
    blocks.push_back(std::move(block));
  }
  return blocks;
}

RecordLayout layoutOf(const TagList& tags, Record record) {
  RecordLayout layout;
  std::uint32_t i = record.first + 1;
  while (i < record.last) {
    const int code = tags.code(i);
    if (code == codes::kXDataApp) {
      std::uint32_t j = i + 1;
      while (j < record.last && tags.code(j) != codes::kXDataApp) ++j;
      layout.xdata.push_back({tags.value(i), Record{i, j}});
      i = j;
    } else if (code == codes::kAppData && tags.value(i).starts_with('{')) {
      std::uint32_t j = i + 1;
      while (j < record.last && !(tags.code(j) == codes::kAppData && tags.value(j) == "}")) ++j;
      j = std::min(j + 1, record.last);
      layout.appData.push_back({tags.value(i).substr(1), Record{i, j}});
      i = j;
    } else if (code == codes::kSubclass) {
      std::uint32_t j = i + 1;
      while (j < record.last && tags.code(j) != codes::kSubclass && tags.code(j) != codes::kXDataApp) ++j;
      layout.subclasses.push_back({tags.value(i), Record{i, j}});
      i = j;
    } else {
      ++i;
    }
  }
  return layout;
}

}  // namespace cadhost::dxf
