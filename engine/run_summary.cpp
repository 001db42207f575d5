#include "engine/run_summary.h"

#include <algorithm>
#include <utility>

namespace engine {

namespace {

const std::string kCR = "\r";

void AppendPart(std::string& summary, const std::string& part) {
  summary = summary.empty() ? part : summary + kCR + kCR + part;
}

}  // namespace

std::string BuildRunSummary(const RunCounts& counts) {
  std::string summary;
  if (counts.fewerAttributeCount > 0) {
    summary = std::to_string(counts.fewerAttributeCount) +
              " Blocks replaced had less attributes then expected (available to transfer to "
              "the Replacemet Block)";
  }
  if (counts.zeroAttributeCount > 0) {
    AppendPart(summary, std::to_string(counts.zeroAttributeCount) +
                            " Blocks replaced had zero attributes (available to transfer to the "
                            "Replacemet Block)");
  }
  if (!summary.empty()) {
    summary += kCR + kCR +
               "Blocks having zero or less then expected attributes are due to a discrepancy " +
               kCR + "between the Block reference as found in the drawing, and the Block definition" +
               kCR + kCR + "The Blocks have been Replaced" + kCR + kCR +
               "The affected (Replacement) Blocks have been flagged with Text" + kCR +
               "Flag Text's insertion point is the same as the Block(s)" + kCR +
               "Flag Text is on the __Flags__ layer" + kCR + "Flag Text is color 21";
  }
  if (!counts.notFoundList.empty()) {
    AppendPart(summary, "The following Replacement Blocks count not found: " + kCR + kCR +
                            counts.notFoundList + kCR +
                            "The Blocks 'to be replaced' remain unaffected");
  }
  if (counts.reachCount > 0) {
    AppendPart(summary, std::to_string(counts.reachCount) +
                            " Blocks replaced reached zero or >1 piece of Station Text" + kCR +
                            "Lemon's have been drawn around the blocks");
  }
  if (!counts.failedReferences.empty()) {
    std::string part = std::to_string(counts.failedReferences.size()) +
                       " Blocks could not be replaced and remain unaffected:";
    // One line per block and reason, with its count: a drawing of 20,000
    // references failing for one reason gives one line, not 20,000.
    std::vector<std::pair<const ReferenceFailure*, long>> groups;
    for (const ReferenceFailure& failure : counts.failedReferences) {
      auto same = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return *g.first == failure; });
      if (same == groups.end()) {
        groups.emplace_back(&failure, 1);
      } else {
        ++same->second;
      }
    }
    for (const auto& [failure, count] : groups) {
      part += kCR + failure->blockName + (count > 1 ? " (" + std::to_string(count) + ")" : std::string()) + ": " +
              failure->description;
    }
    AppendPart(summary, part);
  }
  return summary;
}

}  // namespace engine
