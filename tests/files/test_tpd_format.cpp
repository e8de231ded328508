#include "files/TpdFormat.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TpdTestData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

Q_DECLARE_METATYPE(TpdProgram)

namespace {

// A file around one given Mode row line, the other lines plain.
QByteArray fileWithModeRow(const QByteArray &rowLine)
{
    return "Ver1.00\r\n0\r\n0\r\n" + rowLine + "\r\nx\r\nx\r\nx\r\n";
}

QByteArray fileWithHead(const QByteArray &line2, const QByteArray &line3)
{
    return "Ver1.00\r\n" + line2 + "\r\n" + line3 + "\r\nA\r\nB\r\nC\r\nD\r\n";
}

void compareLoaded(const TpdReadResult &result, const TpdProgram &program)
{
    QCOMPARE(result.status, TpdReadResult::Loaded);
    QCOMPARE(result.programNo, program.programNo);
    QCOMPARE(result.initialTemp, QLocale::c().toDouble(program.initialTempText));
    QCOMPARE(result.rows, program.rows);
    QCOMPARE(result.comment, program.comment);
}

TpdProgram cp932Program()
{
    TpdProgram program = exampleProgram();
    program.programNo = 1;
    program.initialTempText = QStringLiteral("30.00");
    program.comment = {QStringLiteral("温度プログラム：試験用"), QStringLiteral("Total time：12min"),
                       QStringLiteral("通信ポートエラー"), QStringLiteral("ｱｲｳ C:\\data")};
    return program;
}

TpdProgram threeLineCommentProgram()
{
    return buildProgram(
        0, QStringLiteral("25.00"), 33,
        {{0, QStringLiteral("Hold"), QStringLiteral("0.0"), QStringLiteral("0.0"), QStringLiteral("12.45")}},
        {QStringLiteral("Sample A, batch \"7\""), QString(), QStringLiteral("  indented third line")});
}

TpdProgram grid34Program()
{
    TpdProgram program = buildProgram(
        7, QStringLiteral("-10.50"), 34,
        {{0, QStringLiteral("Ramp"), QStringLiteral("300.0"), QStringLiteral("20.0"), QStringLiteral("0.00")},
         {1, QStringLiteral("Hold"), QStringLiteral("0.0"), QStringLiteral("0.0"), QStringLiteral("99.59")},
         {2, QStringLiteral(" "), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}});
    return program;
}

} // namespace

class TpdFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void goldenFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<TpdProgram>("program");
        QTest::newRow("example") << "example.tpd" << exampleProgram();
        QTest::newRow("three-line comment") << "comment3.tpd" << threeLineCommentProgram();
        QTest::newRow("34 columns") << "grid34.tpd" << grid34Program();
        QTest::newRow("CP932 comment") << "cp932.tpd" << cp932Program();
    }

    void goldenFiles()
    {
        QFETCH(QString, file);
        QFETCH(TpdProgram, program);
        const QByteArray golden = goldenBytes(file);

        QString error;
        QCOMPARE(TpdFormat::write(program, &error), golden);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        const int columns = int(program.rows[0].size());
        compareLoaded(TpdFormat::read(golden, columns), program);
    }

    void fileWithoutFinalLineEnd_data()
    {
        QTest::addColumn<QByteArray>("complete");
        QTest::addColumn<QByteArray>("cut");
        QTest::newRow("golden") << goldenBytes(QStringLiteral("example.tpd"))
                                << goldenBytes(QStringLiteral("example-no-final-crlf.tpd"));
        QByteArray comment = goldenBytes(QStringLiteral("comment3.tpd"));
        QTest::newRow("comment") << comment << comment.chopped(2);
        QTest::newRow("trailing LF only") << comment << comment.chopped(2) + "\n";
    }

    void fileWithoutFinalLineEnd()
    {
        QFETCH(QByteArray, complete);
        QFETCH(QByteArray, cut);
        const TpdReadResult expected = TpdFormat::read(complete, 33);
        const TpdReadResult result = TpdFormat::read(cut, 33);
        QCOMPARE(result.status, TpdReadResult::Loaded);
        QCOMPARE(result.rows, expected.rows);
        QCOMPARE(result.comment, expected.comment);
    }

    void wideFileIntoNarrowGrid()
    {
        const TpdReadResult result = TpdFormat::read(goldenBytes(QStringLiteral("grid34.tpd")), 33);
        QCOMPARE(result.status, TpdReadResult::Loaded);
        QList<QStringList> expected = grid34Program().rows;
        for (QStringList &row : expected)
            row.removeLast();
        QCOMPARE(result.rows, expected);
    }

    void rowLineSplitting_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("cells"); // five grid columns
        auto row = [](std::initializer_list<const char *> cells) {
            QStringList list;
            for (const char *c : cells)
                list << QString::fromUtf8(c);
            return list;
        };
        QTest::newRow("bare items, too few") << QByteArray("a,b,c") << row({"a", "b", "c", "", ""});
        QTest::newRow("quoted titles and blanks")
            << QByteArray("\" Mode\",Ramp,\" \"") << row({" Mode", "Ramp", " ", "", ""});
        QTest::newRow("doubled quotes") << QByteArray("\"say \"\"hi\"\"\",x") << row({"say \"hi\"", "x", "", "", ""});
        QTest::newRow("quoted comma") << QByteArray("\"a,b\",c") << row({"a,b", "c", "", "", ""});
        QTest::newRow("space inside bare item") << QByteArray("ab cd,e") << row({"ab", "cd", "e", "", ""});
        QTest::newRow("blanks around items") << QByteArray("  a ,\t b  ") << row({"a", "b", "", "", ""});
        QTest::newRow("trailing comma") << QByteArray("a,b,") << row({"a", "b", " ", "", ""});
        QTest::newRow("comma then blank at end") << QByteArray("a, ") << row({"a", "", "", "", ""});
        QTest::newRow("quoted item then trailing comma") << QByteArray("\"a\",") << row({"a", " ", "", "", ""});
        QTest::newRow("empty item between") << QByteArray("a,,b") << row({"a", " ", "b", "", ""});
        QTest::newRow("leading comma") << QByteArray(",a") << row({" ", "a", "", "", ""});
        QTest::newRow("empty quoted item") << QByteArray("\"\",x") << row({" ", "x", "", "", ""});
        QTest::newRow("empty line") << QByteArray("") << row({"", "", "", "", ""});
        QTest::newRow("blank line") << QByteArray("   \t ") << row({"", "", "", "", ""});
        QTest::newRow("exactly five") << QByteArray("1,2,3,4,5") << row({"1", "2", "3", "4", "5"});
        QTest::newRow("too many items") << QByteArray("1,2,3,4,5,6,7") << row({"1", "2", "3", "4", "5"});
        QTest::newRow("unmatched quote") << QByteArray("a,\"bc,d e") << row({"a", "bc,d e", "", "", ""});
        QTest::newRow("unmatched quote, doubled inside") << QByteArray("\"x\"\"y") << row({"x\"y", "", "", "", ""});
        QTest::newRow("quote inside bare item") << QByteArray("ab\"c,d") << row({"ab\"c", "d", "", "", ""});
        QTest::newRow("text after closing quote") << QByteArray("\"ab\"cd,e") << row({"ab", "cd", "e", "", ""});
        QTest::newRow("control character skipped") << QByteArray("\x01"
                                                                 "a,\x1f"
                                                                 "b")
                                                   << row({"a", "b", "", "", ""});
        QTest::newRow("title without space") << QByteArray("Mode,Ramp") << row({"Mode", "Ramp", "", "", ""});
        QTest::newRow("multibyte text") << QByteArray("\x89\xb7,\"\x93\x78 x\"") << row({"温", "度 x", "", "", ""});
    }

    void rowLineSplitting()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, cells);
        const TpdReadResult result = TpdFormat::read(fileWithModeRow(line), 5);
        QCOMPARE(result.status, TpdReadResult::Loaded);
        QCOMPARE(result.rows[0], cells);
        QCOMPARE(result.rows[1], (QStringList{QStringLiteral("x"), {}, {}, {}, {}}));
    }

    void rowLineQuoting_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("grid cells") << QStringList{" Mode", "Ramp", " ", "Hold", "150.0"}
                                    << QByteArray("\" Mode\",Ramp,\" \",Hold,150.0");
        QTest::newRow("empty cell bare") << QStringList{"a", "", "b"} << QByteArray("a,,b");
        QTest::newRow("empty last cell") << QStringList{"a", ""} << QByteArray("a,");
        QTest::newRow("quote doubled") << QStringList{"say \"hi\""} << QByteArray("\"say \"\"hi\"\"\"");
        QTest::newRow("lone quote") << QStringList{"ab\"c"} << QByteArray("\"ab\"\"c\"");
        QTest::newRow("comma") << QStringList{"a,b"} << QByteArray("\"a,b\"");
        QTest::newRow("tab") << QStringList{"a\tb"} << QByteArray("\"a\tb\"");
        QTest::newRow("control character") << QStringList{QStringLiteral("a\x1f")} << QByteArray("\"a\x1f\"");
        QTest::newRow("code 33 bare") << QStringList{"!a;b"} << QByteArray("!a;b");
        QTest::newRow("non-ASCII bare") << QStringList{"温度"} << QByteArray("\x89\xb7\x93\x78");
    }

    // The line as written, and the cells read back from it: every cell
    // returns, except that an empty one comes back as " ".
    void rowLineQuoting()
    {
        QFETCH(QStringList, cells);
        QFETCH(QByteArray, line);
        TpdProgram program;
        program.initialTempText = QStringLiteral("0.00");
        program.rows = {cells, {}, {}, {}};
        QString error;
        const QByteArray bytes = TpdFormat::write(program, &error);
        QVERIFY2(!bytes.isEmpty(), qPrintable(error));
        QCOMPARE(bytes, "Ver1.00\r\n0\r\n0.00\r\n" + line + "\r\n\r\n\r\n\r\n");

        QStringList expected = cells;
        for (QString &cell : expected) {
            if (cell.isEmpty())
                cell = QStringLiteral(" ");
        }
        const TpdReadResult result = TpdFormat::read(bytes, int(cells.size()));
        QCOMPARE(result.status, TpdReadResult::Loaded);
        QCOMPARE(result.rows[0], expected);
    }

    void notVersion_data()
    {
        QTest::addColumn<QByteArray>("firstLine");
        QTest::newRow("small v") << QByteArray("ver1.00");
        QTest::newRow("other version") << QByteArray("Ver1.01");
        QTest::newRow("leading space") << QByteArray(" Ver1.00");
        QTest::newRow("trailing space") << QByteArray("Ver1.00 ");
        QTest::newRow("short") << QByteArray("Ver1.0");
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFVer1.00");
        QTest::newRow("empty first line") << QByteArray("");
    }

    void notVersion()
    {
        QFETCH(QByteArray, firstLine);
        QByteArray bytes = goldenBytes(QStringLiteral("example.tpd"));
        bytes.replace(0, 7, firstLine);
        QCOMPARE(TpdFormat::read(bytes, 33).status, TpdReadResult::NotVersion);
    }

    void loadingError_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("NUL first") << QByteArray("\0Ver1.00\r\n3\r\n", 13);
        QTest::newRow("version only") << QByteArray("Ver1.00\r\n");
        QTest::newRow("line 2 letters") << fileWithHead("abc", "40.00");
        QTest::newRow("line 2 empty") << fileWithHead("", "40.00");
        QTest::newRow("line 2 decimal") << fileWithHead("3.0", "40.00");
        QTest::newRow("line 2 too large") << fileWithHead("4294967296", "40.00");
        QTest::newRow("line 3 comma") << fileWithHead("3", "40,00");
        QTest::newRow("line 3 letters") << fileWithHead("3", "warm");
        QTest::newRow("line 3 empty") << fileWithHead("3", "");
        QTest::newRow("line 3 trailing text") << fileWithHead("3", "40.00C");
        QTest::newRow("line 3 nan") << fileWithHead("3", "nan");
        QTest::newRow("line 3 inf") << fileWithHead("3", "inf");
        QTest::newRow("line 3 out of range") << fileWithHead("3", "1e999");
        QTest::newRow("six lines") << QByteArray("Ver1.00\r\n3\r\n40.00\r\nA\r\nB\r\nC\r\n");
        QTest::newRow("NUL cuts the rows") << QByteArray("Ver1.00\r\n3\r\n40.00\r\nA\r\nB\0\r\nC\r\nD\r\n", 32);
    }

    void loadingError()
    {
        QFETCH(QByteArray, bytes);
        const TpdReadResult result = TpdFormat::read(bytes, 33);
        QCOMPARE(result.status, TpdReadResult::LoadingError);
        QVERIFY(!result.detail.isEmpty());
        QVERIFY(result.rows.isEmpty());
        QVERIFY(result.comment.isEmpty());
    }

    void headValues_data()
    {
        QTest::addColumn<QByteArray>("line2");
        QTest::addColumn<QByteArray>("line3");
        QTest::addColumn<int>("programNo");
        QTest::addColumn<double>("initialTemp");
        QTest::newRow("plain") << QByteArray("3") << QByteArray("40.00") << 3 << 40.0;
        QTest::newRow("program 9 -> 7") << QByteArray("9") << QByteArray("40.00") << 7 << 40.0;
        QTest::newRow("program -1 -> 0") << QByteArray("-1") << QByteArray("40.00") << 0 << 40.0;
        QTest::newRow("program with blanks") << QByteArray(" 5 ") << QByteArray("40.00") << 5 << 40.0;
        QTest::newRow("program hex") << QByteArray("0x6") << QByteArray("40.00") << 6 << 40.0;
        QTest::newRow("temp out of range kept") << QByteArray("0") << QByteArray("350") << 0 << 350.0;
        QTest::newRow("negative temp") << QByteArray("0") << QByteArray("-12.5") << 0 << -12.5;
        QTest::newRow("plus sign") << QByteArray("0") << QByteArray("+2.5") << 0 << 2.5;
        QTest::newRow("exponent") << QByteArray("0") << QByteArray("1e2") << 0 << 100.0;
        QTest::newRow("leading point") << QByteArray("0") << QByteArray(".5") << 0 << 0.5;
    }

    void headValues()
    {
        QFETCH(QByteArray, line2);
        QFETCH(QByteArray, line3);
        const TpdReadResult result = TpdFormat::read(fileWithHead(line2, line3), 3);
        QCOMPARE(result.status, TpdReadResult::Loaded);
        QTEST(result.programNo, "programNo");
        QTEST(result.initialTemp, "initialTemp");
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray crlf = goldenBytes(QStringLiteral("comment3.tpd"));
        QByteArray lf = crlf;
        lf.replace("\r\n", "\n");
        QByteArray cr = crlf;
        cr.replace("\r\n", "\r");
        QByteArray mixed = crlf;
        mixed.replace("\r\n0\r\n", "\n0\r").replace("\r\n\r\n", "\r\n\n");
        QTest::newRow("LF") << lf;
        QTest::newRow("CR") << cr;
        QTest::newRow("mixed") << mixed;
        QTest::newRow("NUL ends the text") << crlf + QByteArray("\0garbage\r\nmore\r\n", 16);
    }

    void lineEnds()
    {
        QFETCH(QByteArray, bytes);
        compareLoaded(TpdFormat::read(bytes, 33), threeLineCommentProgram());
    }

    void nulInCommentEndsIt()
    {
        QByteArray bytes = goldenBytes(QStringLiteral("comment3.tpd"));
        bytes.replace("batch", QByteArray("ba\0ch", 5));
        const TpdReadResult result = TpdFormat::read(bytes, 33);
        QCOMPARE(result.status, TpdReadResult::Loaded);
        QCOMPARE(result.comment, QStringList{QStringLiteral("Sample A, ba")});
    }

    void commentCodePage_data()
    {
        QTest::addColumn<QByteArray>("comment");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CP932 colon") << QByteArray("a\x81\x46"
                                                   "b")
                                     << QStringList{QStringLiteral("a：b")};
        QTest::newRow("ASCII as it is: backslash, tilde, controls")
            << QByteArray("C:\\ovens\\~1\tx\x1f\x7f") << QStringList{QStringLiteral("C:\\ovens\\~1\tx\x1f\x7f")};
        QTest::newRow("UTF-8, invalid as CP932")
            << QByteArray("温度プログラム\r\nTotal time：") << QStringList{"温度プログラム", "Total time："};
        QTest::newRow("UTF-8 decided for all lines") << QByteArray("テスト\r\n\xc3\xa9") << QStringList{"テスト", "é"};
        QTest::newRow("CP932 when valid in both") << QByteArray("\xc3\xa9") << QStringList{"ﾃｩ"};
        QTest::newRow("neither: replacement characters") << QByteArray("\x80"
                                                                       "abc\r\n\x89\xb7")
                                                         << QStringList{"\uFFFDabc", "温"};
    }

    void commentCodePage()
    {
        QFETCH(QByteArray, comment);
        QByteArray bytes = goldenBytes(QStringLiteral("example.tpd")) + comment + "\r\n";
        const TpdReadResult result = TpdFormat::read(bytes, 33);
        QCOMPARE(result.status, TpdReadResult::Loaded);
        QTEST(result.comment, "lines");
    }

    void unencodableTextRefused_data()
    {
        QTest::addColumn<TpdProgram>("program");
        QTest::addColumn<QString>("mentions");
        TpdProgram p = exampleProgram();
        p.comment = {QStringLiteral("fine"), QStringLiteral("smile 😀")};
        QTest::newRow("emoji") << p << "Comment line 2 contains the character \"😀\" (U+1F600)";
        p.comment = {QStringLiteral("¥100")};
        QTest::newRow("yen sign") << p << "U+00A5";
        p.comment = {QStringLiteral("Température")};
        QTest::newRow("accented letter") << p << "U+00E9";
        p.comment = {QStringLiteral("한국")};
        QTest::newRow("Hangul") << p << "U+D55C";
        p.comment = {QString(QChar(0xD800))};
        QTest::newRow("lone surrogate") << p << "U+D800";
        p.comment = {QStringLiteral("two\nlines")};
        QTest::newRow("line break in comment") << p << "Comment line 1 contains a line break";
        p = exampleProgram();
        p.rows[1][4] = QStringLiteral("1€");
        QTest::newRow("cell") << p << "Grid row 2";
        p = exampleProgram();
        p.rows.removeLast();
        QTest::newRow("three rows") << p << "4 grid rows";
    }

    void unencodableTextRefused()
    {
        QFETCH(TpdProgram, program);
        QFETCH(QString, mentions);
        QString error;
        QVERIFY(TpdFormat::write(program, &error).isEmpty());
        QVERIFY2(error.contains(mentions), qPrintable(error));
    }

    void captionName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::newRow("only last extension") << "/data/data.old.tpd"
                                             << "data.old";
        QTest::newRow("plain") << "/home/u/run.tpd"
                               << "run";
        QTest::newRow("no extension") << "/home/u/run"
                                      << "run";
        QTest::newRow("dot in folder") << "/home/u.v/run"
                                       << "run";
        QTest::newRow("relative, upper case") << "dir/RUN.TPD"
                                              << "RUN";
    }

    void captionName()
    {
        QFETCH(QString, path);
        QTEST(TpdFormat::captionName(path), "caption");
    }

    void saveAndReadFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("prog.tpd"));
        writeBytes(path, "old content");
        const QByteArray golden = goldenBytes(QStringLiteral("cp932.tpd"));
        QString error;
        QVERIFY2(TpdFormat::saveToFile(path, golden, &error), qPrintable(error));
        QCOMPARE(readBytes(path), golden);
        compareLoaded(TpdFormat::readFile(path, 33), cp932Program());
    }

    void unreadableFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "missing.tpd";
        QTest::newRow("folder") << "folder.tpd";
    }

    void unreadableFile()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.tpd")));
        const TpdReadResult result = TpdFormat::readFile(dir.filePath(name), 33);
        QCOMPARE(result.status, TpdReadResult::LoadingError);
        QVERIFY2(result.detail.contains(name), qPrintable(result.detail));
    }

    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("parent is a regular file") << "parent-file";
        QTest::newRow("name is a folder") << "folder";
        QTest::newRow("read-only folder") << "read-only";
        QTest::newRow("empty name") << "empty";
    }

    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QByteArray old = goldenBytes(QStringLiteral("comment3.tpd"));
        const QString roFolder = dir.filePath(QStringLiteral("ro"));
        QString target;
        QString witness; // a file that must come out byte-identical
        if (kind == QLatin1String("parent-file")) {
            witness = dir.filePath(QStringLiteral("plain.tpd"));
            target = witness + QStringLiteral("/new.tpd");
        } else if (kind == QLatin1String("folder")) {
            target = dir.filePath(QStringLiteral("prog.tpd"));
            QVERIFY(QDir().mkpath(target));
            witness = target + QStringLiteral("/inside.tpd");
        } else if (kind == QLatin1String("read-only")) {
            if (geteuid() == 0)
                QSKIP("root writes into read-only folders");
            QVERIFY(QDir().mkpath(roFolder));
            witness = target = roFolder + QStringLiteral("/prog.tpd");
        } else {
            witness = dir.filePath(QStringLiteral("prog.tpd"));
        }
        writeBytes(witness, old);
        if (kind == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(roFolder, QFile::ReadOwner | QFile::ExeOwner));

        QString error;
        const bool saved = TpdFormat::saveToFile(target, goldenBytes(QStringLiteral("example.tpd")), &error);
        QFile::setPermissions(roFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(!saved);
        QVERIFY2(!error.isEmpty() && error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
        QCOMPARE(readBytes(witness), old);
        QCOMPARE(QDir(QFileInfo(witness).absolutePath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TpdFormatTest)
#include "test_tpd_format.moc"
