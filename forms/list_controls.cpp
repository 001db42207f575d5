#include "forms/list_controls.h"

#include "forms/text_format.h"

namespace forms {

// ---- ListControl ----

void ListControl::CheckIndex(int index, const char* what) const {
  if (index < 0 || index >= ListCount()) {
    Fail(std::string(what) + " " + std::to_string(index) + " is out of range (" +
         std::to_string(ListCount()) + " entries)");
  }
}

const std::string& ListControl::List(int index) const {
  CheckIndex(index, "entry");
  return items_.entries[static_cast<std::size_t>(index)];
}

void ListControl::List(int index, std::string text) {
  CheckIndex(index, "entry");
  items_.entries[static_cast<std::size_t>(index)] = std::move(text);
}

void ListControl::ListIndex(int index) {
  if (index == -1) {
    items_.listIndex = -1;
    SelectionChanged();
    return;
  }
  CheckIndex(index, "list index");
  items_.listIndex = index;
  SelectionChanged();
  RaiseEvent(onClick);
}

void ListControl::AddItem(std::string text) { items_.entries.push_back(std::move(text)); }

void ListControl::AddItem(std::string text, int index) {
  if (index < 0 || index > ListCount()) {
    Fail("cannot insert at " + std::to_string(index) + " (" + std::to_string(ListCount()) + " entries)");
  }
  items_.entries.insert(items_.entries.begin() + index, std::move(text));
  if (items_.listIndex >= index) ++items_.listIndex;
}

void ListControl::RemoveItem(int index) {
  CheckIndex(index, "entry");
  items_.entries.erase(items_.entries.begin() + index);
  if (items_.listIndex == index) {
    items_.listIndex = -1;
  } else if (items_.listIndex > index) {
    --items_.listIndex;
  }
}

void ListControl::Clear() {
  items_.entries.clear();
  items_.listIndex = -1;
}

std::string ListControl::Text() const {
  return items_.listIndex < 0 ? std::string() : items_.entries[static_cast<std::size_t>(items_.listIndex)];
}

void ListControl::UserChoose(int index) {
  CheckIndex(index, "entry");
  BeginUserGesture();
  ListIndex(index);
}

int ListControl::FindExact(const std::string& text) const {
  for (std::size_t i = 0; i < items_.entries.size(); ++i) {
    if (items_.entries[i] == text) return static_cast<int>(i);
  }
  return -1;
}

std::string ListControl::Dump(const std::string& formName) const {
  std::string out = "list " + formName + "." + QualifiedName() + " visible=" + (Visible() ? "1" : "0") +
                    " enabled=" + (Enabled() ? "1" : "0") + " index=" + std::to_string(ListIndex()) +
                    " text=" + QuoteText(Text());
  for (std::size_t i = 0; i < items_.entries.size(); ++i) {
    out += "\n  " + std::to_string(i) + "\t" + EscapeText(items_.entries[i]);
  }
  return out;
}

void ListControl::SaveDesignState() {
  Control::SaveDesignState();
  designItems_ = items_;
}

void ListControl::RestoreDesignState() {
  Control::RestoreDesignState();
  items_ = designItems_;
}

// ---- ComboBox ----

void ComboBox::SelectionChanged() {
  // Choosing an entry shows its text; choosing nothing empties the field.
  text_.text = ListControl::Text();
}

void ComboBox::Text(std::string text) {
  if (style_ == ComboStyle::DropDownList) {
    const int index = FindExact(text);
    if (index < 0) Fail("has no entry \"" + text + "\"");
    ListIndex(index);
    return;
  }
  if (text == text_.text) return;
  TypedText(std::move(text));
}

void ComboBox::TypedText(std::string text) {
  text_.text = std::move(text);
  // The selected index follows the edit text without raising Click.
  const int match = FindExact(text_.text);
  if (match != ListIndex()) ListControl::ListIndexQuietly(match);
  RaiseEvent(onChange);
}

void ComboBox::Clear() {
  ListControl::Clear();
  text_.text.clear();
}

void ComboBox::UserType(const std::string& text) {
  if (style_ != ComboStyle::Editable) Fail("does not take typed text");
  BeginUserGesture();
  // One change per character; UTF-8 continuation bytes belong to the
  // character before them.
  for (std::size_t end = 1; end <= text.size(); ++end) {
    if (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) continue;
    TypedText(text.substr(0, end));
  }
}

void ComboBox::UserEdit(const std::string& text) {
  if (style_ != ComboStyle::Editable) Fail("does not take typed text");
  BeginUserGesture();
  TypedText(text);
}

void ComboBox::UserErase() {
  if (style_ != ComboStyle::Editable) Fail("does not take typed text");
  BeginUserGesture();
  TypedText(std::string());
}

void ComboBox::SaveDesignState() {
  ListControl::SaveDesignState();
  designText_ = text_;
}

void ComboBox::RestoreDesignState() {
  ListControl::RestoreDesignState();
  text_ = designText_;
}

}  // namespace forms
