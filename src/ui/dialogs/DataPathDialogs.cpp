#include "DataPathDialogs.h"

#include <sys/stat.h>

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>

#include "AppPaths.h"
#include "CommaText.h"
#include "Files.h"
#include "FolderDialogs.h"
#include "DialogParts.h"
#include "QtText.h"
#include "VerInfos.h"

namespace kaede {

std::string PrepareDataFolder(const std::string& folder, const TStrings& requiredFiles,
                              const std::string& programDataFolder, bool* missingInstall) {
  if (missingInstall) *missingInstall = false;
  std::string dir = IncludeTrailingDelimiter(folder);
  if (dir.empty()) return SJ("フォルダを入力してください");
  // every missing parent is made as well
  std::string os = OsPath(dir);
  for (size_t p = 1; p <= os.size(); ++p) {
    if (p == os.size() || os[p] == '/') {
      std::string part = os.substr(0, p);
      if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
        return dir + SJ(" を作成できません: ") + FromOsPath(std::strerror(errno));
    }
  }
  if (!DirectoryExists(dir)) return dir + SJ(" を作成できません");
  for (const std::string& name : requiredFiles) {
    if (name.empty() || FileExists(dir + name)) continue;
    std::string source = IncludeTrailingDelimiter(programDataFolder) + name;
    if (!FileExists(source)) {
      if (missingInstall) *missingInstall = true;
      return name + SJ(" が存在しません。") + TVerInfo::ProductName() + SJ("が正しくインストールされていない可能性があります！") +
             "\r\n" + SJ("一旦アンインストールしてから、もう一度インストールし直してください。");
    }
    try {
      WriteFileAtomic(dir + name, ReadFileBytes(source));
    } catch (const Exception& e) {
      return e.what();
    }
  }
  return std::string();
}

TDataPathDialog::TDataPathDialog(QWidget* parent) : QDialog(parent) {
  FCaption = SJ("データの保存場所");
  FNoteText = SJ("データを保存する場所を入力してください。") + "\n" + SJ("下記のフォルダで良ければこのまま［ＯＫ］ボタンをクリックしてください。");
  setWindowTitle(ToQ(FCaption));
  auto* layout = new QVBoxLayout(this);
  FNote = new QLabel(ToQ(FNoteText), this);
  layout->addWidget(FNote);
  auto* row = new QHBoxLayout();
  FEdit = new QLineEdit(this);
  FEdit->setMinimumWidth(360);
  auto* browse = new QPushButton(ToQ(SJ("参照")), this);
  row->addWidget(FEdit, 1);
  row->addWidget(browse);
  layout->addLayout(row);
  layout->addWidget(MakeOkCancel(this));
  connect(browse, &QPushButton::clicked, this, [this] {
    TFolderDialog chooser;
    chooser.InitialFolder = FromQ(FEdit->text());
    chooser.Title = SJ("フォルダの選択");
    if (chooser.Execute(this)) FEdit->setText(ToQ(chooser.Folder));
  });
  std::string docs = MyDocumentsFolder();
  FEdit->setText(ToQ(IncludeTrailingDelimiter(docs.empty() ? UserDataFolder() : docs) + TVerInfo::InternalName()));
}

void TDataPathDialog::SetWord(const std::string& word) {
  setWindowTitle(ToQ(ReplaceStrAll(FCaption, SJ("データ"), word)));
  FNote->setText(ToQ(ReplaceStrAll(FNoteText, SJ("データ"), word)));
}

bool TDataPathDialog::Execute(const std::string& fileNames) {
  FRequired = DecodeCommaText(fileNames);
  return exec() == QDialog::Accepted;
}

std::string TDataPathDialog::Folder() const { return FromQ(FEdit->text()); }

void TDataPathDialog::SetFolder(const std::string& folder) {
  if (folder.empty()) return;
  std::string shown = folder;
  while (shown.size() > 1 && shown.back() == '/') shown.pop_back();
  FEdit->setText(ToQ(shown));
}

void TDataPathDialog::accept() {
  bool broken = false;
  std::string error = PrepareDataFolder(Folder(), FRequired, ProgramDataFolder(), &broken);
  if (error.empty()) {
    QDialog::accept();
    return;
  }
  AppHost().ShowError(error);
  if (broken) {
    // the installation lacks its own files: the program ends
    AppHost().Terminate();
    QDialog::reject();
  }
  // otherwise the dialog stays open for another folder
}

}  // namespace kaede
