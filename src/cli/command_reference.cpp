#include "cli/command_reference.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace tomorine::cli {

namespace {

const Argument kData{
    .name = "--data",
    .value = "FILE",
    .completion = Completion::Workbook,
    .text = {"使うデータファイル。コマンド名のすぐ後に置きます。省略すると設定 (トモリネ.ini) の "
             "DATAFILE、既定ではプログラムフォルダの トモリネ.xls",
             "The data workbook to use; it comes right after the command name. Without it the "
             "DATAFILE setting of トモリネ.ini in the program folder is used, by default "
             "トモリネ.xls in the program folder."}};

// An option with no value, or with a value the user types.
Argument Option(std::string_view name, Text text, std::string_view value = {},
                bool required = false) {
    return {name, value, required, false, Completion::None, text};
}

Argument Operand(std::string_view name, Completion completion, Text text, bool required = true) {
    return {name, {}, required, false, completion, text};
}

// One of a run of arguments of which exactly one is given.
Argument Alternative(std::string_view name, std::string_view value, Completion completion,
                     Text text) {
    return {name, value, true, true, completion, text};
}

const Argument kJson = Option("--json", {"結果を JSON で出力します", "Print the result as JSON."});

// The fields of 検索: what an entry must match to be a hit.
std::vector<Argument> SearchFields() {
    return {
        Option("--url", {"URL が U と完全に一致するもの", "Entries whose URL is exactly U."}, "U"),
        Option("--title",
               {"タイトルが T の語をすべて含むもの (全角と半角、大文字と小文字は同じ)",
                "Entries whose title contains every word of T (full-width and half-width, upper "
                "and lower case alike)."},
               "T"),
        Option("--subtitle",
               {"サブタイトルが S の語をすべて含むもの",
                "Entries whose subtitle contains every word of S."},
               "S"),
        Option("--keywords",
               {"キーワードが K の語をすべて含むもの",
                "Entries whose keywords contain every word of K."},
               "K"),
        Option("--comment",
               {"コメントが C の語をすべて含むもの",
                "Entries whose comment contains every word of C."},
               "C"),
    };
}

// The texts of an entry as 登録 and 更新 store them.
std::vector<Argument> EntryFields(bool urlAndTitleRequired) {
    return {
        Option("--url", {"URL (2,000 文字まで)", "The URL (up to 2,000 characters are kept)."}, "U",
               urlAndTitleRequired),
        Option("--title", {"タイトル (500 文字まで)", "The title (up to 500 characters are kept)."},
               "T", urlAndTitleRequired),
        Option("--subtitle",
               {"サブタイトル (500 文字まで)", "The subtitle (up to 500 characters are kept)."},
               "S"),
        Option("--keywords",
               {"キーワード、空白で区切ります (2,000 文字まで)",
                "The keywords, separated by spaces (up to 2,000 characters are kept)."},
               "K"),
        Option("--comment",
               {"コメント、改行は CR LF で保存します (2,000 文字まで)",
                "The comment; line breaks are stored as CR LF (up to 2,000 characters are "
                "kept)."},
               "C"),
    };
}

const Argument kSerial = Operand("SERIAL", Completion::None,
                                 {"エントリーのシリアル番号", "The serial number of the entry."});

std::vector<Argument> Join(std::vector<std::vector<Argument>> parts) {
    std::vector<Argument> all;
    for (auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

constexpr Text kReadsData{"データファイルを読みます。", "Reads the data file; writes nothing."};
constexpr Text kSavesData{
    "データファイルを読み、同じフォルダの一時ファイルに書いてから置き換えます "
    "(データファイルのフォルダのロックで他の書き手と順番を守ります)。",
    "Reads the data file and saves it atomically: a temporary file in the same folder "
    "replaces it, under a lock on the data file's folder."};

std::vector<CommandReference> MakeCommands() {
    return {
        {"search",
         Join({{kData}, SearchFields(), {kJson}}),
         {"検索 と同じく探します。URL は完全一致、ほかの欄は語ごとにどこかに含むもの"
          "(全角と半角、大文字と小文字は同じ)。一覧の行 [00007]:タイトル と件数を出力します。",
          "Searches as the main window's 検索 does and prints the hits as its list shows "
          "them, [00007]:title, then the count (3件 ヒットしました). With --json it prints "
          "{\"hits\": [{\"serial\", \"url\", \"title\", \"subtitle\", \"keywords\", "
          "\"comment\"}]}. Nothing found is no failure: 見つかりません on standard error, "
          "exit status 0."},
         kReadsData},
        {"show",
         {kData, kSerial, kJson},
         {"エントリーの URL、タイトル、サブタイトル、キーワード、コメントを出力します。",
          "Prints the five texts of a live entry, labelled URL:, タイトル:, サブタイトル:, "
          "キーワード: and コメント: (with --json the JSON of search with one hit)."},
         kReadsData},
        {"add",
         Join({{kData}, EntryFields(true)}),
         {"登録 と同じく登録し、新しいシリアル番号を出力します。既定のデータファイルが"
          "なければ作ります。",
          "Registers an entry as 登録 does and prints its new serial number (the highest in "
          "the file plus one). On a first start it creates the default data file; a missing "
          "file named by --data or by the DATAFILE setting is not made up."},
         kSavesData},
        {"update",
         Join({{kData, kSerial}, EntryFields(false)}),
         {"エントリーを更新します。指定しない欄はそのままです。",
          "Updates an entry as 更新 does; the texts not given stay as they are."},
         kSavesData},
        {"delete",
         {kData, kSerial},
         {"エントリーを削除します。", "Deletes an entry as 削除 does."},
         kSavesData},
        {"check-version",
         {kData, Option("--yes", {"変換の確認をせずに変換します", "Convert without asking."})},
         {"起動時と同じくデータバージョンを確かめ、0104 のファイルは確かめたうえで"
          "変換します (--yes で確認なし)。変換後のバージョンを出力します。",
          "Checks the data version as the main window does at start-up: it backs up a "
          "workbook of the older layout 0104, asks before converting it (answer y on "
          "standard input, or give --yes) and shows the progress on standard error; Ctrl-C "
          "stops the conversion and puts the backup back. Prints the version the file has "
          "afterwards: 0105, 0104 or -1."},
         {"データファイルを読み、0104 のファイルは隣にバックアップ "
          "(名前バックアップ_____VER0104.xls) を作ってから変換して保存します。",
          "Reads the data file; a 0104 workbook is first copied to NAMEバックアップ_____"
          "VER0104.xls beside it, which stays, and then converted and saved atomically."}},
        {"compact",
         {kData},
         {"OK ボタンと同じくデータファイルを保存し直します。",
          "Saves the data file again, as the main window's OK button does at exit."},
         kSavesData},
        {"dump",
         {Operand("FILE", Completion::Workbook, {"読む .xls ファイル", "The .xls file to read."})},
         {".xls ファイルの全ワークシートを JSON で出力します。",
          "Prints every worksheet of an Excel 97 file as JSON."},
         {"FILE を読むだけです。", "Reads FILE only."}},
        {"create",
         {Operand("FILE", Completion::Workbook, {"作るデータファイル", "The data file to make."})},
         {"新しい、空のデータファイルを作ります。", "Creates a new, empty data workbook."},
         {"FILE を作ります。あるファイルは上書きしません。",
          "Writes FILE; an existing file is not overwritten."}},
        {"export-html",
         Join({{kData,
                Operand("OUT", Completion::Html,
                        {"書き出す HTML ファイル", "The HTML page to write."}),
                Option("--comments", {"コメントも書きます", "Write the comments too."})},
               SearchFields()}),
         {"HTML作成 と同じく、検索に当たったエントリーを HTML のページにして OUT に書きます。",
          "Writes the hits of the search of the given fields to OUT as HTML作成 does: an HTML "
          "4.01 page in Shift_JIS with each entry's title as the link, its subtitle and, with "
          "--comments, its comment. Prints the count (3件 出力しました); when the search "
          "returns no rows no page is written."},
         {"データファイルを読み、OUT を一時ファイルから置き換えます。",
          "Reads the data file and replaces OUT atomically."}},
        {"keywords",
         {kData, kJson},
         {"キーワード一覧 と同じく、使われているキーワードを重複なく並べて出力します。",
          "Lists every distinct keyword of the live entries as キーワード一覧 does, one a "
          "line in code point order, then the count; with --json {\"keywords\": [...]}."},
         {"データファイルを読みます。古い版が残した キーワード一覧 のシートがあれば取り除いて"
          "保存します。",
          "Reads the data file; it is saved only to remove a キーワード一覧 worksheet an "
          "older version left in it."}},
        {"merge",
         {kData, Operand("REFERENCE.xls", Completion::Workbook,
                         {"取り込むもう一つのデータファイル",
                          "The other data workbook to take entries from."})},
         {"データマージ と同じく、REFERENCE.xls にあってデータファイルにないエントリーを"
          "追加し、追加した件数を出力します。",
          "Adds every entry of REFERENCE.xls that the data file does not hold yet, as "
          "データマージ does, under the next serial numbers, and prints how many it added. "
          "The data file itself, a file of the same name and one of the older layout are "
          "refused."},
         {"REFERENCE.xls は読むだけです。データファイルは一度に保存するか、そのままです。",
          "Reads REFERENCE.xls only; the data file is saved atomically, or stays as it was."}},
        {"conflicts",
         {kData, kJson,
          Option("--merge",
                 {"すべての競合コピーをマージし、conflicts フォルダに移します",
                  "Merge every copy and move each merged one into the conflicts folder."})},
         {"同期ツール (Syncthing、Nextcloud、ownCloud、Dropbox) がデータファイルの横に残した"
          "競合コピーを、エントリー数と追加される件数とともに出力します。--merge は"
          "データマージ と同じ規則ですべてをマージします。--json と --merge は一緒に使えません。",
          "Lists the conflict copies that a sync tool (Syncthing, Nextcloud, ownCloud, Dropbox) "
          "left beside the data file, with their entry counts and how many entries each would "
          "add. With --merge, merges them all by the rule of merge, each all or nothing, and "
          "moves each merged copy under its own name into a conflicts folder beside the data "
          "file; nothing is deleted. --json and --merge cannot be given together."},
         {"コピーは読むだけです。--merge はデータファイルを一度に保存し、コピーを conflicts "
          "フォルダに移します。",
          "Reads the copies; with --merge, saves the data file atomically and moves each merged "
          "copy into conflicts/ beside it."},
         {"1 は読めない (またはマージできない) コピーがあったとき。",
          "1 when a copy could not be read (or merged)."}},
        {"check-links",
         {kData, kJson,
          Option("--delete", {"リンク切れ (404、410) のエントリーを削除します",
                              "Delete the entries found gone (HTTP 404 or 410)."}),
          Option("--delete-unreachable", {"届かない URL、無効な URL のエントリーも削除します",
                                          "Delete the unreachable and invalid ones too."})},
         {"リンクチェック と同じく、すべての URL を調べてリンク切れを出力します。"
          "ネットワークにつながらないときは何も削除しません。",
          "Requests every live entry's URL as リンクチェック does and prints the dead ones "
          "as [00007]:title lines, each gone (404, 410), unreachable (a transport failure, "
          "tried twice) or invalid, then the count. With --json it prints {\"network\", "
          "\"dead\": [{\"serial\", \"url\", \"title\", \"class\", \"reason\", \"message\"}], "
          "\"deleted\", \"changed\"}. When no URL got an answer the network is down and "
          "nothing is deleted; an entry changed during the check is left alone. Ctrl-C stops "
          "the check and deletes nothing."},
         {"データファイルを読み、削除するときは一度に保存します。",
          "Reads the data file; a deletion saves it atomically once."},
         {"削除を断った (ネットワークなし) か削除に失敗したとき、中止したとき 1。",
          "1 also when a deletion was refused because the network was down, or the check "
          "was stopped."}},
        {"import-favorites",
         {kData,
          Operand("FOLDER", Completion::Folder,
                  {"お気に入りフォルダ。省略すると設定の FAVORITES、なければ ~/Favorites",
                   "The Favorites folder; without it the FAVORITES setting, else ~/Favorites."},
                  false)},
         {"お気に入りインポート と同じく、お気に入りフォルダの .url ファイルを登録します。",
          "Registers the URLs of every *.url Internet shortcut in the folder and below that "
          "the data file does not hold yet, as お気に入りインポート does, and prints the "
          "counts (検出数：, 登録数：, 既存数：, エラー数：). Ctrl-C stops after the current "
          "shortcut, exit status 1."},
         {"フォルダを読み、データファイルを途中 (1 秒に一度まで) と最後に保存します。",
          "Reads the folder; saves the data file at the end, on a stop and at most once a "
          "second on the way."}},
        {"capture",
         {kData, Option("URL", {"読む http、https のページ", "The http or https page to read."}),
          kJson},
         {"IE取得 と同じく、ブラウザのページの URL、タイトル、キーワードを出力します。"
          "--json では同じ URL で登録済みのシリアル番号 (stored) も出力します。",
          "Prints what IE取得 would fill in: URL:, タイトル:, キーワード: lines, or with "
          "--json {\"url\", \"title\", \"keywords\", \"stored\"}, stored being the serials "
          "of the live entries of the data file with that URL ([] when there are none or the "
          "file cannot be read). With a URL only that page is fetched; without one the most "
          "recently visited page of the browsers' records."},
         {"ブラウザの記録 (Firefox の recovery.jsonlz4 と places.sqlite、Chromium 系の "
          "History とセッションファイル) を複製して読み、ページを取得します。--json では"
          "データファイルを読みます。",
          "Reads private copies of the browsers' records (Firefox's recovery.jsonlz4 and "
          "places.sqlite, the History database and session files of Chromium, Chrome, Brave, "
          "Vivaldi and Edge) and fetches the page; with --json it reads the data file."}},
        {"import-bookmarks",
         {kData,
          Alternative("--firefox", "[PROFILE]", Completion::Folder,
                      {"Firefox の既定のプロファイル、または PROFILE から",
                       "From Firefox: the default profile, or the profile folder or places.sqlite "
                       "named."}),
          Alternative(
              "--chromium", "[PROFILE]", Completion::Folder,
              {"Chromium 系のブラウザの最後のプロファイル、または PROFILE から",
               "From Chromium, Chrome, Brave, Vivaldi or Edge: the last used profile, or the "
               "profile folder or Bookmarks file named."}),
          Alternative("FILE.html", {}, Completion::Html,
                      {"ブックマークの HTML ファイルから", "From a Netscape bookmark HTML file."}),
          kJson},
         {"ブラウザ取込 と同じく、Firefox、Chromium 系のブラウザ、ブックマークの HTML ファイルから"
          "まだない URL を登録します。",
          "Registers the bookmarks whose URL the data file does not hold yet, as ブラウザ取込 "
          "does: tags become keywords, the folder path the subtitle, the description the "
          "comment. Prints the counts (with --json as JSON)."},
         {"ブラウザのファイルは複製 ($XDG_RUNTIME_DIR か一時フォルダ、1 GB まで。終わるか中断で"
          "消します) を読み、データファイルを最後に (途中は 1 秒に一度まで) 保存します。"
          "ロックは保存の間だけ取るので、取込中も add などで書き込めます。",
          "Reads private copies of the browser's files (under $XDG_RUNTIME_DIR or the "
          "temporary folder, at most 1 GiB, removed when done or interrupted); saves the data "
          "file at the end and at most once a second on the way, holding its lock only while "
          "it saves, so that other writers such as add need not wait for the import."}},
        {"export-bookmarks",
         Join({{kData, Operand("OUT.html", Completion::Html,
                               {"書き出すブックマークファイル", "The bookmark file to write."})},
               SearchFields()}),
         {"検索に当たったエントリーを、ブラウザに取り込めるブックマークの HTML ファイルにします。",
          "Writes the hits of the search of the given fields as a Netscape bookmark file that "
          "browsers import."},
         {"データファイルを読み、OUT.html を一時ファイルから置き換えます。",
          "Reads the data file and replaces OUT.html atomically."}},
        {"help",
         {Operand("COMMAND", Completion::Command,
                  {"使い方を見るコマンド", "The command to describe."})},
         {"コマンドの使い方を出力します。", "Prints the usage of a command, in Japanese."},
         {"何も読み書きしません。", "Reads and writes no file."}},
    };
}

ProgramReference MakeCliProgram() {
    return {
        "tomorine-cli",
        {"トモリネのコマンドライン版", "command-line front end of the トモリネ bookmark logger"},
        "tomorine-cli COMMAND [--data FILE] [ARGS]\n"
        "tomorine-cli --help | --version",
        {"トモリネのウィンドウと同じエンジンで、同じ検索、登録、更新、削除、"
         "データバージョンの確認と保存をシェルから行います。",
         "tomorine-cli works on the same Excel 97 data workbook (.xls) as the window "
         "program tomorine, through the same engines: the same search, register, update and "
         "delete, the same version check and re-save. Results go to standard output, "
         "messages and progress to standard error, in Japanese."},
        {
            {{"オプション", "OPTIONS"},
             {"どのコマンドにも使えるものです。", "Options of the program itself."},
             {{"--data FILE", kData.text},
              {"--help", {"コマンドの一覧を出力します。", "Print the list of commands."}},
              {"--version", {"バージョンを出力します。", "Print the version."}}}},
            {{"終了ステータス", "EXIT STATUS"},
             {"失敗すると理由 (ファイル名を含む) を標準エラー出力に一行書き、標準出力には"
              "何も書きません。データファイルは元のままです。",
              "A failure prints one line on standard error, the reason naming the file, and "
              "nothing on standard output; the data file is then as it was."},
             {{"0", {"成功", "Done."}},
              {"1", {"失敗、または中止", "Failed, or stopped with Ctrl-C."}},
              {"2",
               {"コマンドラインの誤り。使い方: の行を出力し、何も読み書きしません",
                "Wrong command line: a 使い方: line on standard error; nothing was read or "
                "written."}}}},
            {{"環境変数", "ENVIRONMENT"},
             {},
             {{"TOMORINE_HOME",
               {"プログラムフォルダ (設定と既定のデータファイルの場所)",
                "The program folder, which holds the settings and the default data file."}},
              {"XDG_DATA_HOME",
               {"TOMORINE_HOME がないとき、プログラムフォルダはその下の tomorine",
                "Without TOMORINE_HOME the program folder is tomorine under it."}},
              {"XDG_CONFIG_HOME, HOME",
               {"ブラウザの記録とプロファイルを探す場所",
                "Where the browsers' records and profiles are looked for."}}}},
            {{"ファイル", "FILES"},
             {},
             {{"~/.local/share/tomorine/",
               {"既定のプログラムフォルダ", "The program folder by default."}},
              {"トモリネ.xls",
               {"プログラムフォルダの既定のデータファイル",
                "The default data workbook, in the program folder."}},
              {"トモリネ.ini",
               {"設定 (DATAFILE、FAVORITES など)。プログラムフォルダとデータファイルの隣に"
                "あります",
                "Settings (DATAFILE, FAVORITES, ...), in the program folder and beside the "
                "data file."}},
              {"NAMEバックアップ_____VER0104.xls",
               {"変換前の 0104 のデータファイルのバックアップ",
                "The backup of a 0104 data file, made before its conversion."}}}},
            {{"関連項目", "SEE ALSO"}, {"tomorine(1)", "tomorine(1)"}, {}},
        },
    };
}

ProgramReference MakeWindowProgram() {
    return {
        "tomorine",
        {"Excel 97 ブックのブックマーク記録", "personal bookmark logger on an Excel 97 workbook"},
        "tomorine [--help | --version]",
        {"トモリネのウィンドウを開きます。Web ページの URL、タイトル、サブタイトル、"
         "キーワード、コメントをシリアル番号ごとに一つの Excel 97 ブック (.xls) に記録し、"
         "登録、更新、検索、削除、HTML作成、データマージ、キーワード一覧、リンクチェック、"
         "お気に入りインポート、ブラウザ取込、IE取得 を行います。"
         "データファイルは設定 (トモリネ.ini) の DATAFILE、既定では "
         "~/.local/share/tomorine/トモリネ.xls です。"
         "コマンドラインからは tomorine-cli を使います。",
         "tomorine opens the main window of トモリネ. Every web page worth keeping goes into "
         "one Excel 97 workbook (.xls) with its URL, title, subtitle, keywords and comment "
         "under a serial number. The window registers, updates, searches and deletes "
         "entries, writes the hits as an HTML page, merges another workbook, lists the "
         "keywords, checks the links, imports Favorites folders and browser bookmarks and "
         "takes the page the browser shows. The data file is the DATAFILE setting of "
         "トモリネ.ini, by default ~/.local/share/tomorine/トモリネ.xls, which the first "
         "start creates. "
         "tomorine-cli(1) does the same from a shell."},
        {
            {{"オプション", "OPTIONS"},
             {},
             {{"--help", {"使い方を出力します。", "Print a short usage."}},
              {"--version", {"バージョンを出力します。", "Print the version."}}}},
            {{"ファイル", "FILES"},
             {},
             {{"~/.local/share/tomorine/トモリネ.xls",
               {"既定のデータファイル ($TOMORINE_HOME/トモリネ.xls)",
                "The default data workbook ($TOMORINE_HOME/トモリネ.xls)."}},
              {"トモリネ.ini",
               {"設定。プログラムフォルダとデータファイルの隣にあります",
                "Settings, in the program folder and beside the data file."}}}},
            {{"関連項目", "SEE ALSO"}, {"tomorine-cli(1)", "tomorine-cli(1)"}, {}},
        },
    };
}

} // namespace

const std::vector<CommandReference>& CommandReferences() {
    static const std::vector<CommandReference> commands = MakeCommands();
    return commands;
}

const CommandReference* FindCommandReference(std::string_view name) {
    const std::vector<CommandReference>& commands = CommandReferences();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [&](const CommandReference& c) { return c.name == name; });
    return found == commands.end() ? nullptr : &*found;
}

const ProgramReference& CliProgramReference() {
    static const ProgramReference program = MakeCliProgram();
    return program;
}

const ProgramReference& WindowProgramReference() {
    static const ProgramReference program = MakeWindowProgram();
    return program;
}

std::string Synopsis(const CommandReference& command, bool withDataOption) {
    std::string text;
    bool inChoice = false;
    for (const Argument& argument : command.arguments) {
        if (!withDataOption && argument.name == kData.name) {
            continue;
        }
        std::string word(argument.name);
        if (!argument.value.empty()) {
            word += ' ';
            word += argument.value;
        }
        if (!argument.required && !argument.alternative) {
            word = '[' + word + ']';
        }
        if (argument.alternative) {
            text += inChoice ? " | " : (text.empty() ? "(" : " (");
            text += word;
            inChoice = true;
            continue;
        }
        if (inChoice) {
            text += ')';
            inChoice = false;
        }
        text += text.empty() ? "" : " ";
        text += word;
    }
    return inChoice ? text + ')' : text;
}

std::string ProgramUsage() {
    const std::string_view synopsis = CliProgramReference().synopsis;
    std::string text = "使い方: " + std::string(synopsis.substr(0, synopsis.find('\n'))) + '\n';
    for (const CommandReference& command : CommandReferences()) {
        const std::string arguments = Synopsis(command, false);
        text +=
            "  " + std::string(command.name) + (arguments.empty() ? "" : " ") + arguments + '\n';
    }
    return text + "  --version\n"
                  "コマンドの説明: tomorine-cli help COMMAND、man tomorine-cli\n";
}

std::string_view UsageOf(std::string_view commandName) {
    static const std::map<std::string_view, std::string> lines = [] {
        std::map<std::string_view, std::string> made;
        for (const CommandReference& command : CommandReferences()) {
            made[command.name] =
                "使い方: tomorine-cli " + std::string(command.name) + ' ' + Synopsis(command);
        }
        return made;
    }();
    const auto found = lines.find(commandName);
    if (found == lines.end()) {
        throw std::logic_error("no usage for command " + std::string(commandName));
    }
    return found->second;
}

} // namespace tomorine::cli
