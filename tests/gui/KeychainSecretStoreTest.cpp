#include "TestFolders.h"

#include "ui/KeychainSecretStore.h"

#include <QTest>

#include <cstdlib>
#include <filesystem>

using veskaro::KeychainSecretStore;

// The desktop's secret store as the window uses it, against a keyring daemon of the test's own on a session
// bus of its own (tests/gui/with-private-keyring.sh), whose files lie in the test's home folder.
class KeychainSecretStoreTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!std::getenv("VESKARO_PRIVATE_KEYRING"))
            QSKIP("needs the private keyring of with-private-keyring.sh");
    }

    void keepsReplacesAndForgetsASecretPerTarget() {
        KeychainSecretStore store;
        const std::string target = "sftp://anna@127.0.0.1:2222/Gr\xc3\xbc\xc3\x9f" "e/";
        const std::string secret = "s3cret \xc3\xa9t\xc3\xa9 \xe6\x9d\xb1";
        QVERIFY(!store.get(target));
        store.put(target, secret);
        QCOMPARE(store.get(target).value_or(""), secret);
        QVERIFY(!store.get(target + "other"));
        store.put(target, "another");
        QCOMPARE(store.get(target).value_or(""), std::string("another"));
        store.forget(target);
        QVERIFY(!store.get(target));
        store.forget(target);
    }

    // The keyring keeps what it holds encrypted: no file below the home folder holds the secret's bytes.
    void writesNoSecretInTheClear() {
        KeychainSecretStore store;
        const std::string secret = "clear-text-would-show-this-7f3a";
        store.put("ftps://anna@example.org/", secret);
        namespace fs = std::filesystem;
        for (const auto& entry : fs::recursive_directory_iterator(std::getenv("HOME"))) {
            if (entry.is_regular_file())
                QVERIFY2(veskaro::test::readBytes(entry.path()).find(secret) == std::string::npos,
                         entry.path().c_str());
        }
        store.forget("ftps://anna@example.org/");
    }
};

QTEST_GUILESS_MAIN(KeychainSecretStoreTest)
#include "KeychainSecretStoreTest.moc"
