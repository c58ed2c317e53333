// A second start of the program while it runs: it hands its file to the running window (which
// asks to save first) and ends.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <sstream>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "interchange-qt/ExportOptionsDlg.h"

#include "app/InstanceChannel.h"
#include "app/MainFrame.h"
#include "app/ZorvanApp.h"
#include "qt/QtText.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/ZorvanTreeView.h"

namespace zorvan::test {
namespace {

class SecondStartTest : public CGuiTest {
 protected:
  // Starts the program a second time in this process; true when it went on to a window.
  bool StartSecond(const QStringList& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    m_pSecond = std::make_unique<CZorvanApp>();
    return m_pSecond->InitInstance(QStringList{QStringLiteral("zorvan")} + arguments, out, err);
  }
  // Lets the running window work until its database is the file at path.
  bool WaitForDatabase(const QString& path) {
    const std::string full = ToStdString(QFileInfo(path).absoluteFilePath());
    for (int i = 0; i < 200 && Doc().GetPathName() != full; ++i) QTest::qWait(10);
    return Doc().GetPathName() == full;
  }
  void TearDown() override {
    m_pSecond.reset();
    CGuiTest::TearDown();
  }

  std::unique_ptr<CZorvanApp> m_pSecond;
};

// Sends one raw message to the running window, as any program of the user could, and lets the
// window handle it; the answer the window gave.
QByteArray SendRaw(const QByteArray& message) {
  QLocalSocket socket;
  socket.connectToServer(CInstanceChannel::ChannelName());
  if (!socket.waitForConnected(1000)) return "(not connected)";
  socket.write(message);
  socket.flush();
  QByteArray answer;
  for (int i = 0;
       i < 50 && socket.state() == QLocalSocket::ConnectedState && !answer.endsWith('\n'); ++i) {
    QTest::qWait(10);
    answer += socket.readAll();
  }
  return answer;
}

// Sets an environment variable for the life of the object.
class CEnvironment {
 public:
  CEnvironment(const char* name, const QByteArray& value)
      : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
    if (value.isNull())
      qunsetenv(name);
    else
      qputenv(name, value);
  }
  ~CEnvironment() {
    if (m_had)
      qputenv(m_name, m_old);
    else
      qunsetenv(m_name);
  }

 private:
  const char* m_name;
  bool m_had;
  QByteArray m_old;
};

}  // namespace

TEST_F(SecondStartTest, TheFileOfASecondStartOpensInTheRunningWindowAfterTheSaveQuestion) {
  const QString first = MakeDatabase("první.zvd", {"Jiří Kovář"});
  const QString second = MakeDatabase("druhá.zvd", {"Łucja Wąsowska"});
  ASSERT_TRUE(Start({first}));
  Select(Item({"Contacts"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  ASSERT_TRUE(Doc().IsModified());

  // Cancel keeps the running database; the second start has ended all the same.
  m_prompt.saveAnswers = {ESaveAnswer::Cancel};
  EXPECT_FALSE(StartSecond({second}));
  EXPECT_EQ(m_pSecond->ExitCode(), 0);
  EXPECT_EQ(m_pSecond->MainFrame(), nullptr);
  EXPECT_FALSE(WaitForDatabase(second));
  EXPECT_EQ(m_prompt.savePrompts.size(), 1);
  EXPECT_NE(Record({"Contacts", "Unnamed"}), nullptr);

  // No: the handed file becomes the database, with a relative path made whole by the start.
  m_prompt.saveAnswers = {ESaveAnswer::No};
  const QString previous = QDir::currentPath();
  QDir::setCurrent(QFileInfo(second).absolutePath());
  EXPECT_FALSE(StartSecond({QFileInfo(second).fileName()}));
  QDir::setCurrent(previous);
  EXPECT_TRUE(WaitForDatabase(second));
  EXPECT_EQ(m_prompt.savePrompts.size(), 2);
  EXPECT_NE(Record({"Contacts", "Łucja Wąsowska"}), nullptr);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(SecondStartTest, ASecondStartWithoutAFileLeavesTheRunningDatabaseAndEnds) {
  const QString first = MakeDatabase("a.zvd", {"Ágnes"});
  ASSERT_TRUE(Start({first}));
  EXPECT_FALSE(StartSecond({}));
  EXPECT_EQ(m_pSecond->ExitCode(), 0);
  QTest::qWait(50);
  EXPECT_EQ(ToQString(Doc().GetPathName()), QFileInfo(first).absoluteFilePath());
  EXPECT_TRUE(m_prompt.savePrompts.isEmpty());
}

TEST_F(SecondStartTest, AStartAfterTheProgramEndedOrCrashedRunsItsOwnWindow) {
  const QString a = MakeDatabase("a.zvd", {"Ödön"});
  const QString b = MakeDatabase("b.zvd", {"Ännchen"});
  ASSERT_TRUE(Start({a}));
  Stop();
  EXPECT_TRUE(StartSecond({b}));
  m_pSecond.reset();
  // A socket left behind by a program that did not end cleanly.
  QFile stale(CInstanceChannel::ChannelName());
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.close();
  ASSERT_TRUE(Start({a}));
  // It listens again: a later start hands over.
  m_prompt.saveAnswers = {ESaveAnswer::No};
  EXPECT_FALSE(StartSecond({b}));
  EXPECT_TRUE(WaitForDatabase(b));
}

TEST_F(SecondStartTest, TheChannelBelongsToTheUserAndHisSettings) {
  const QString name = CInstanceChannel::ChannelName();
  EXPECT_TRUE(QFileInfo(name).fileName().startsWith(QStringLiteral("zorvan-%1-").arg(getuid())))
      << name.toStdString();
  EXPECT_EQ(QFileInfo(name).path(), CInstanceChannel::ChannelFolder());
  EXPECT_EQ(CInstanceChannel::ChannelName(), name);
  // A line nobody listens on takes nothing, at once.
  CInstanceChannel nobody(name + QStringLiteral("-none"));
  EXPECT_FALSE(nobody.HandOver(QStringLiteral("/tmp/x.zvd")));
}

TEST_F(SecondStartTest, MessagesThatAreNoDatabaseLeaveTheOpenOneAndEveryOtherFileAlone) {
  const QString db = MakeDatabase("otevřená.zvd", {"Mária Ďurišová"});
  ASSERT_TRUE(Start({db}));
  QDir(TempPath("oběť")).mkpath(QStringLiteral("."));
  const QString precious = TempPath("oběť/.vzácné");
  QFile file(precious);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("drahocenná data\n");
  file.close();
  const QString fifo = TempPath("roura.zvd");
  ASSERT_EQ(::mkfifo(ToFilePath(fifo).c_str(), 0600), 0);
  const QByteArray folder = QByteArray::fromStdString(ToFilePath(TempPath("oběť")));
  static constexpr char kWithNul[] = "/vzácné\0x\n";
  const std::pair<QByteArray, QByteArray> cases[] = {
      // Control bytes and relative names: no message of a start; not even answered.
      {folder + QByteArray(kWithNul, sizeof kWithNul - 1), ""},
      {folder + "/a\x01"
                "b.zvd\n",
       ""},
      {"relativní.zvd\n", ""},
      // A device, a FIFO, a file that is gone: told once, the database stays.
      {"/dev/zero\n", "ok\n"},
      {QByteArray::fromStdString(ToFilePath(fifo)) + '\n', "ok\n"},
      {QByteArray::fromStdString(ToFilePath(TempPath("není.zvd"))) + '\n', "ok\n"},
  };
  for (const auto& [message, answer] : cases) EXPECT_EQ(SendRaw(message), answer) << message.data();
  QTest::qWait(300);
  EXPECT_EQ(ToQString(Doc().GetPathName()), db);
  EXPECT_NE(Record({"Contacts", "Mária Ďurišová"}), nullptr);
  ASSERT_EQ(m_prompt.messages.size(), 1u) << m_prompt.MessageTexts().join('|').toStdString();
  EXPECT_EQ(m_prompt.messages[0].text,
            QStringLiteral("Cannot open file /dev/zero:\nit is not a regular file."));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("drahocenná data\n"));
  EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/dev/.zero.lock")));
  EXPECT_FALSE(QFileInfo::exists(TempPath(".roura.zvd.lock")));
  // The channel still takes the user's own starts.
  const QString next = MakeDatabase("další.zvd", {"Jörg"});
  EXPECT_FALSE(StartSecond({next}));
  EXPECT_TRUE(WaitForDatabase(next));
}

TEST_F(SecondStartTest, AFileHandedOverWhileADialogIsOpenWaitsForItToClose) {
  const QString a = MakeDatabase("a.zvd", {"Skupina;g", " Jan Dvořák", " Petr Čech"});
  const QString b = MakeDatabase("b.zvd", {"Zofia Kowalska"});
  ASSERT_TRUE(Start({a}));
  Select(Item({"Contacts", "Skupina"}));
  bool stayed = false;
  m_prompt.onModal = [&](QDialog& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    EXPECT_FALSE(StartSecond({b}));
    QTest::qWait(300);
    stayed = ToQString(Doc().GetPathName()) == a;
    if (auto* options = qobject_cast<CForeignExportDlg*>(&dialog)) {
      options->Selected()->setChecked(true);
      dialog.accept();
    }
  };
  const QString out = TempPath("skupina.vcf");
  m_prompt.fileAnswers = {out};
  Frame().Action(ID_FILE_EXPORT_OTHER)->trigger();
  m_prompt.onModal = nullptr;
  EXPECT_TRUE(stayed) << "the database was replaced under the open dialog";
  QFile written(out);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QString cards = QString::fromUtf8(written.readAll());
  EXPECT_TRUE(cards.contains(QStringLiteral("FN:Jan Dvořák"))) << cards.toStdString();
  EXPECT_TRUE(cards.contains(QStringLiteral("FN:Petr Čech"))) << cards.toStdString();
  // The export gave the two contacts identities: the database asks to be saved before the
  // handed file takes its place. Once the dialog has gone, that file opens.
  EXPECT_TRUE(Doc().IsModified());
  m_prompt.saveAnswers = {ESaveAnswer::Yes};
  EXPECT_TRUE(WaitForDatabase(b));
  EXPECT_TRUE(m_prompt.saveAnswers.empty()) << "the save question was asked";
}

TEST_F(SecondStartTest, TheChannelFolderIsTheUsersAloneOrThereIsNone) {
  QTemporaryDir temp;
  const CEnvironment tmp("TMPDIR", QFile::encodeName(temp.path()));
  const QString own = temp.path() + QStringLiteral("/zorvan-%1").arg(getuid());
  {
    const CEnvironment runtime("XDG_RUNTIME_DIR", QByteArray());
    EXPECT_EQ(CInstanceChannel::ChannelFolder(), own);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(own).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // The folder opened to others (or made by another user before) is not used.
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0755), 0);
    EXPECT_EQ(CInstanceChannel::ChannelFolder(), QString());
    EXPECT_EQ(CInstanceChannel::ChannelName(), QString());
    CInstanceChannel none(CInstanceChannel::ChannelName());
    EXPECT_FALSE(none.Listen());
    EXPECT_FALSE(none.HandOver(QStringLiteral("/tmp/x.zvd")));
  }
  // The session's folder, when it is the user's alone.
  const QString session = temp.path() + QStringLiteral("/běh");
  ASSERT_TRUE(QDir().mkpath(session));
  const CEnvironment runtime("XDG_RUNTIME_DIR", QFile::encodeName(session));
  ASSERT_EQ(::chmod(QFile::encodeName(session).constData(), 0700), 0);
  EXPECT_EQ(CInstanceChannel::ChannelFolder(), session);
  ASSERT_EQ(::chmod(QFile::encodeName(session).constData(), 0777), 0);
  EXPECT_EQ(CInstanceChannel::ChannelFolder(), QString());
}

// Another local user: only root can play him.
class SecondStartOtherUserTest : public SecondStartTest {
 protected:
  static constexpr uid_t kOther = 2001;
  void SetUp() override {
    if (::getuid() != 0) GTEST_SKIP() << "another user can be played by root only";
    SecondStartTest::SetUp();
  }
};

TEST_F(SecondStartOtherUserTest, ASocketOfAnotherUserIsNeverHandedAFile) {
  const QString a = MakeDatabase("a.zvd", {"Ærøskøbing"});
  const QString b = MakeDatabase("b.zvd", {"Jiří"});
  ASSERT_TRUE(Start({a}));
  const QString name = CInstanceChannel::ChannelName();
  ASSERT_EQ(::chown(QFile::encodeName(name).constData(), kOther, kOther), 0);
  // The second start runs its own window with its own file; the first heard nothing.
  EXPECT_TRUE(StartSecond({b}));
  EXPECT_EQ(ToFilePath(b), m_pSecond->Doc().GetPathName());
  QTest::qWait(100);
  EXPECT_EQ(ToQString(Doc().GetPathName()), a);
}

TEST_F(SecondStartOtherUserTest, TheRunningWindowHearsNoOtherUser) {
  const QString a = MakeDatabase("a.zvd", {"Ærøskøbing"});
  const QString b = MakeDatabase("b.zvd", {"Jiří"});
  ASSERT_TRUE(Start({a}));
  // The way in opened to everybody, as a careless setup might leave it.
  const QByteArray name = QFile::encodeName(CInstanceChannel::ChannelName());
  const QByteArray folder = QFile::encodeName(CInstanceChannel::ChannelFolder());
  ASSERT_EQ(::chmod(folder.constData(), 0755), 0);
  ASSERT_EQ(::chmod(name.constData(), 0777), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(b).constData(), 0644), 0);
  const QByteArray message = QFile::encodeName(b) + '\n';
  const pid_t child = ::fork();
  if (child == 0) {
    // The other user, with system calls only: the child of a threaded program.
    if (::setgid(kOther) != 0 || ::setuid(kOther) != 0) ::_exit(3);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) ::_exit(4);
    if (::write(fd, message.constData(), message.size()) != message.size()) ::_exit(5);
    char answer[8] = {};
    const ssize_t n = ::read(fd, answer, sizeof answer);
    ::_exit(n > 0 ? 1 : 0);
  }
  ASSERT_GT(child, 0);
  int status = -1;
  // The child may wait long for its turn on a loaded machine.
  for (int i = 0; i < 1500 && ::waitpid(child, &status, WNOHANG) == 0; ++i) QTest::qWait(10);
  ::chmod(folder.constData(), 0700);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: answered; 3, 4, 5: the other user could not send";
  QTest::qWait(100);
  EXPECT_EQ(ToQString(Doc().GetPathName()), a);
}

}  // namespace zorvan::test
