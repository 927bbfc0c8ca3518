#include "cli/command_options.h"
#include "cli/commands.h"

#include <array>
#include <ostream>
#include <string_view>

namespace tomorine::cli {

namespace {

struct Topic {
    std::string_view name;
    std::string_view usage; // as the command prints it for a wrong command line
    std::string_view summary;
};

constexpr std::array kTopics{
    Topic{"search",
          "使い方: tomorine-cli search [--data FILE] [--url U] [--title T] [--subtitle S] "
          "[--keywords K] [--comment C] [--json]",
          "検索 と同じく探します。URL は完全一致、ほかの欄は語ごとにどこかに含むもの"
          "(全角と半角、大文字と小文字は同じ)。一覧の行 [00007]:タイトル を出力します。"},
    Topic{"show", "使い方: tomorine-cli show [--data FILE] SERIAL [--json]",
          "エントリーの URL、タイトル、サブタイトル、キーワード、コメントを出力します。"},
    Topic{"add",
          "使い方: tomorine-cli add [--data FILE] --url U --title T [--subtitle S] "
          "[--keywords K] [--comment C]",
          "登録 と同じく登録し、新しいシリアル番号を出力します。既定のデータファイルが"
          "なければ作ります。"},
    Topic{"update",
          "使い方: tomorine-cli update [--data FILE] SERIAL [--url U] [--title T] "
          "[--subtitle S] [--keywords K] [--comment C]",
          "エントリーを更新します。指定しない欄はそのままです。"},
    Topic{"delete", "使い方: tomorine-cli delete [--data FILE] SERIAL", "エントリーを削除します。"},
    Topic{"check-version", "使い方: tomorine-cli check-version [--data FILE] [--yes]",
          "起動時と同じくデータバージョンを確かめ、0104 のファイルは確かめたうえで"
          "変換します (--yes で確認なし)。変換後のバージョンを出力します。"},
    Topic{"compact", "使い方: tomorine-cli compact [--data FILE]",
          "OK ボタンと同じくデータファイルを保存し直します。"},
    Topic{"dump", "使い方: tomorine-cli dump FILE",
          ".xls ファイルの全ワークシートを JSON で出力します。"},
    Topic{"create", "使い方: tomorine-cli create FILE", "新しい、空のデータファイルを作ります。"},
    Topic{"export-html",
          "使い方: tomorine-cli export-html [--data FILE] OUT [--comments] [--url U] [--title T] "
          "[--subtitle S] [--keywords K] [--comment C]",
          "HTML作成 と同じく、検索に当たったエントリーを HTML のページにして OUT に書きます。"},
    Topic{"keywords", "使い方: tomorine-cli keywords [--data FILE] [--json]",
          "キーワード一覧 と同じく、使われているキーワードを重複なく並べて出力します。"},
    Topic{"merge", "使い方: tomorine-cli merge [--data FILE] REFERENCE.xls",
          "データマージ と同じく、REFERENCE.xls にあってデータファイルにないエントリーを"
          "追加し、追加した件数を出力します。"},
    Topic{"check-links",
          "使い方: tomorine-cli check-links [--data FILE] [--json] [--delete] "
          "[--delete-unreachable]",
          "リンクチェック と同じく、すべての URL を調べてリンク切れを理由とともに出力します。"
          "--delete はページが無くなったもの (404、410) だけを、--delete-unreachable は"
          "接続できないものと無効な URL も削除します。ネットワークに接続できないときは"
          "何も削除しません (終了コード 1)。"},
    Topic{"import-favorites", "使い方: tomorine-cli import-favorites [--data FILE] [FOLDER]",
          "お気に入りインポート と同じく、お気に入りフォルダの .url ファイルを登録します。"},
    Topic{"capture", "使い方: tomorine-cli capture [URL] [--json]",
          "IE取得 と同じく、ブラウザのページの URL、タイトル、キーワードを出力します。"},
    Topic{"import-bookmarks",
          "使い方: tomorine-cli import-bookmarks [--data FILE] (--firefox [PROFILE] | --chromium "
          "[PROFILE] | FILE.html) [--json]",
          "ブラウザ取込 と同じく、Firefox、Chromium 系のブラウザ、ブックマークの HTML ファイルから"
          "まだない URL を登録します。"},
    Topic{"export-bookmarks",
          "使い方: tomorine-cli export-bookmarks [--data FILE] OUT.html [--url U] [--title T] "
          "[--subtitle S] [--keywords K] [--comment C]",
          "検索に当たったエントリーを、ブラウザに取り込めるブックマークの HTML ファイルにします。"},
    Topic{"conflicts", "使い方: tomorine-cli conflicts [--data FILE] [--json | --merge]",
          "同期ツール (Syncthing、Nextcloud、ownCloud、Dropbox) がデータファイルの横に残した"
          "競合コピーを、エントリー数と追加される件数とともに出力します。--merge は"
          "データマージ と同じ規則ですべてをマージし、マージしたものを conflicts フォルダに"
          "移します。"},
    Topic{"help", "使い方: tomorine-cli help COMMAND", "コマンドの使い方を出力します。"},
};

} // namespace

int HelpCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = kTopics.back().usage, .operands = 1, .dataOption = false};
    const ParsedArgs args = ParseArgs(call.args, syntax);
    for (const Topic& topic : kTopics) {
        if (topic.name == args.operands[0]) {
            call.out << topic.usage << '\n' << topic.summary << '\n';
            return ExitOk;
        }
    }
    throw UsageError(args.operands[0] + " というコマンドはありません", syntax.usage);
}

} // namespace tomorine::cli
