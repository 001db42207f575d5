// List box and combo box models: an ordered list of entries with a selected
// index, and for the combo an edit text.
#pragma once

#include "forms/control.h"

#include <string>
#include <utility>
#include <vector>

namespace forms {

// What a list box and a combo box share: the entries and the selected index.
// Setting ListIndex to an entry runs Click (also when the index does not
// change); setting it to -1 selects nothing and raises nothing.
class ListControl : public Control {
 public:
  explicit ListControl(std::string name, int index = -1) : Control(std::move(name), index) {
    BackColor(kWhite);
  }
  std::string Kind() const override { return "list"; }
  bool CanTakeFocus() const override { return true; }

  int ListCount() const { return static_cast<int>(items_.entries.size()); }
  const std::string& List(int index) const;
  void List(int index, std::string text);
  int ListIndex() const { return items_.listIndex; }
  void ListIndex(int index);
  // Appends an entry, or inserts it before `index`.
  void AddItem(std::string text);
  void AddItem(std::string text, int index);
  // Removes one entry; removing the selected entry leaves nothing selected.
  void RemoveItem(int index);
  // Removes every entry and selects nothing; raises nothing.
  virtual void Clear();
  // The text shown: for a list box the selected entry, empty when none.
  virtual std::string Text() const;

  // The user chooses entry `index` (a click in the list or in the drop-down).
  void UserChoose(int index);
  // A list takes the choice of an entry, not a bare click.
  void UserClick() override { Fail("takes the choice of an entry, not a click"); }
  // The first entry whose text equals `text` exactly, or -1.
  int FindExact(const std::string& text) const;

  // `list FORM.CONTROL visible=0|1 enabled=0|1 index=N text="..."`, then one
  // line per entry: two blanks, the index, a tab, the text.
  std::string Dump(const std::string& formName) const override;

 protected:
  // Called after the selected index changed, before Click is raised.
  virtual void SelectionChanged() {}
  // Sets the selected index without touching the text and without events
  // (-1 or a valid index).
  void ListIndexQuietly(int index) { items_.listIndex = index; }
  void CheckIndex(int index, const char* what) const;
  void SaveDesignState() override;
  void RestoreDesignState() override;

 private:
  struct Items {
    std::vector<std::string> entries;
    int listIndex = -1;
  };
  Items items_;
  Items designItems_;
};

// A list box: entries shown in a box, one of them selected.
class ListBox : public ListControl {
 public:
  using ListControl::ListControl;
};

// How a combo box takes its text.
enum class ComboStyle {
  Editable,      // drop-down combo: the user may type any text
  DropDownList,  // drop-down list: the text is always one of the entries
};

// A combo box. Choosing an entry (by the user, or by the program setting
// ListIndex) puts the entry's text in the edit field and runs Click, not
// Change. A change of the text (the program setting a different Text, or the
// user typing) runs Change; the selected index then follows the text: the
// first entry equal to it, or -1.
class ComboBox : public ListControl {
 public:
  explicit ComboBox(std::string name, ComboStyle style = ComboStyle::Editable, int index = -1)
      : ListControl(std::move(name), index), style_(style) {}

  ComboStyle Style() const { return style_; }
  std::string Text() const override { return text_.text; }
  // Editable: sets the text, running Change when it differs. Drop-down list:
  // selects the first entry with that text (running Click); a text that is
  // not an entry is refused.
  void Text(std::string text);
  // Also empties the edit text, without raising Change.
  void Clear() override;

  // The user selects the whole text and types `text` one character at a
  // time: every keystroke is one change of the text and runs Change.
  void UserType(const std::string& text);
  // One edit of the user in the text field (a keystroke, a paste, a cut) that
  // leaves `text` there: one change of the text.
  void UserEdit(const std::string& text);
  // The user deletes the whole text: one change to the empty text.
  void UserErase();

  std::function<void()> onChange;

 protected:
  void SelectionChanged() override;
  void SaveDesignState() override;
  void RestoreDesignState() override;

 private:
  void TypedText(std::string text);

  struct EditText {
    std::string text;
  };
  ComboStyle style_ = ComboStyle::Editable;
  EditText text_;
  EditText designText_;
};

}  // namespace forms
