// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/LanguageView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeySequence>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTranslator>

#include <algorithm>

#include "ui/TextCodec.h"
#include "ui/WindowControls.h"

namespace tavrilo::ui {

namespace {

using datafiles::Language;

void SetItems(QComboBox* field, const StringList& list) {
  field->clear();
  QStringList items;
  items.reserve(list.Count());
  for (int i = 0; i < list.Count(); ++i)
    items.append(ShownText(list.At(i)));
  field->addItems(items);
  field->setCurrentIndex(-1);
}

}  // namespace

void LanguageView::ShowLanguageButtons() {
  const std::pair<QRadioButton*, Language> buttons[] = {
      {controls_.frenchButton, Language::kFrench}, {controls_.englishButton, Language::kEnglish}};
  for (const auto& [button, language] : buttons)
    button->setText(FromAnsi(language_.ButtonCaption(language)));
}

void LanguageView::ShowAll() {
  controls_.frenchButton->setChecked(language_.Selected() == Language::kFrench);
  controls_.englishButton->setChecked(language_.Selected() == Language::kEnglish);
  ShowFunctionNames();
  ShowResources();
  ShowCaptions();
  ShowToolTips();
  FollowInQtTexts();
}

QString LanguageView::PromptOf(const QLineEdit& field) const {
  const QWidget* control = qobject_cast<const QComboBox*>(field.parentWidget()) != nullptr
                               ? field.parentWidget()
                               : &field;
  for (std::string_view key : datafiles::kCaptionKeys) {
    if (datafiles::PropertyOf(key) == "Text" &&
        control->objectName().toStdString() == datafiles::ControlOf(key))
      return texts_.Caption(key);
  }
  return {};
}

void LanguageView::ShowCaptions() {
  for (std::string_view key : datafiles::kCaptionKeys) {
    const QString name = QString::fromLatin1(datafiles::ControlOf(key));
    const QString text = FromAnsi(language_.captions.Get(key));
    QWidget* control = window_.findChild<QWidget*>(name);
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
      group->setTitle(text);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
      button->setText(text);
    } else if (auto* field = qobject_cast<QComboBox*>(control)) {
      field->setEditText(text);
      field->lineEdit()->setCursorPosition(0);  // a long prompt shows its beginning
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      edit->setText(text);
      edit->setCursorPosition(0);
    }
  }
  // The texts the window has beyond the caption set: a missing one keeps its default.
  const auto setIfGiven = [this](std::string_view key, auto&& apply) {
    const std::string& text = language_.captions.Get(key);
    if (!text.empty()) apply(FromAnsi(text));
  };
  setIfGiven("Main.GameQuake2",
             [this](const QString& text) { controls_.gameField->setItemText(0, text); });
  setIfGiven("Main.GameYamagi",
             [this](const QString& text) { controls_.gameField->setItemText(1, text); });
  setIfGiven("Panel.Title",
             [this](const QString& text) { controls_.problemsGroup->setTitle(text); });
  // Tool-tips are plain text, whatever the caption file holds.
  setIfGiven("Main.GameHint",
             [this](const QString& text) { controls_.gameField->setToolTip(PlainToolTip(text)); });
  setIfGiven("Key.CaptureHint", [this](const QString& text) {
    controls_.captureAction->setToolTip(PlainToolTip(text));
  });
  // The list's menu: each action's text, and its first key beside it.
  const std::pair<QAction*, std::string_view> actions[] = {
      {controls_.editLineAction, "Menu.EditLine"}, {controls_.moveUpAction, "Menu.MoveUp"},
      {controls_.moveDownAction, "Menu.MoveDown"}, {controls_.deleteLineAction, "Menu.Delete"},
      {controls_.undoAction, "Menu.Undo"},         {controls_.redoAction, "Menu.Redo"}};
  for (const auto& [action, key] : actions) {
    QString text = texts_.Caption(key);
    const auto first =
        std::find_if(controls_.listKeys.begin(), controls_.listKeys.end(),
                     [action](const auto& listKey) { return listKey.second == action; });
    if (first != controls_.listKeys.end())
      text += '\t' + QKeySequence(first->first).toString(QKeySequence::NativeText);
    action->setText(text);
  }
}

// A text the caption file does not give leaves the control without a tool-tip.
void LanguageView::ShowToolTips() {
  const std::pair<QWidget*, std::string_view> tips[] = {
      {controls_.frenchButton, "Main.TipFrench"},
      {controls_.englishButton, "Main.TipEnglish"},
      {controls_.keyField, "Main.TipKey"},
      {controls_.functionField, "Main.TipFunction"},
      {controls_.chatEdit, "Main.TipChat"},
      {controls_.definableField, "Main.TipDefinable"},
      {controls_.argumentsEdit, "Main.TipArguments"},
      {controls_.ownLineEdit, "Main.TipOwnLine"},
      {controls_.addBindingButton, "Main.TipAddBinding"},
      {controls_.addDefinableButton, "Main.TipAddDefinable"},
      {controls_.addWithResourceButton, "Main.TipAddWithResource"},
      {controls_.addOwnLineButton, "Main.TipAddOwnLine"},
      {controls_.addResourceButton, "Main.TipAddResource"},
      {controls_.deleteButton, "Main.TipDelete"},
      {controls_.newListButton, "Main.TipNewList"},
      {controls_.loadButton, "Main.TipLoad"},
      {controls_.saveButton, "Main.TipSave"},
  };
  for (const auto& [control, key] : tips) {
    const QString given = texts_.Caption(key);
    control->setToolTip(given.isEmpty() ? QString() : PlainToolTip(given));
  }
}

void LanguageView::FollowInQtTexts() {
  if (qtTranslator_ == nullptr) qtTranslator_ = new QTranslator(&window_);
  QCoreApplication::removeTranslator(qtTranslator_);
  if (language_.Selected() == Language::kFrench &&
      qtTranslator_->load(QStringLiteral("qtbase_fr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qtTranslator_);
  }
}

void LanguageView::ShowFunctionNames() {
  SetItems(controls_.functionField, language_.functionNames);
}

void LanguageView::ShowResources() {
  controls_.resourcesList->clear();
  QStringList items;
  items.reserve(language_.resourceDescriptions.Count());
  for (int i = 0; i < language_.resourceDescriptions.Count(); ++i)
    items.append(ShownText(language_.resourceDescriptions.At(i)));
  controls_.resourcesList->addItems(items);
}

void LanguageView::ShowDefinableFunctions() {
  SetItems(controls_.definableField, language_.definableFunctions);
  controls_.definableField->setEditText(QString());
}

}  // namespace tavrilo::ui
