// Printing the shown contact: the commands of the form pane, the print dialog limited to one
// page, a real page written to a PDF file, the preview and Page Setup sharing one printer.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "app/MainFrame.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/ZorvanView.h"

namespace zorvan::test {
namespace {

class PrintTest : public CGuiTest {
 protected:
  void ShowJan() {
    const QString path = MakeDatabase("card.zvd", {"Jan Novák"});
    ASSERT_TRUE(Start({path}));
    QApplication::setActiveWindow(&Frame());
    CTreeItem* jan = Record({"Contacts", "Jan Novák"});
    jan->m_strFirstName = "Jan";
    jan->m_strMiddleName = "Karel";
    jan->m_strLastName = "Novák";
    jan->m_strHomeCity = "Brno";
    jan->m_strHomeState = "CZ";
    jan->m_strHomePostalCode = "602 00";
    Select(Item({"Contacts", "Jan Novák"}));
    Frame().FormView()->setFocus();  // the print commands belong to the form pane
    QApplication::processEvents();
  }
  QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

}  // namespace

TEST_F(PrintTest, ThePrintDialogOffersOnePageAndAcceptingItPrintsTheCardToAPdfFile) {
  ShowJan();
  ASSERT_TRUE(Frame().Action(ID_FILE_PRINT)->isEnabled());
  const QString pdf = TempPath(QStringLiteral("Jan Novák.pdf"));
  QPrinter& printer = Frame().Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  int minPage = 0, maxPage = 0;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* print = dynamic_cast<QPrintDialog*>(&dialog);
    ASSERT_NE(print, nullptr);
    minPage = print->minPage();
    maxPage = print->maxPage();
    dialog.setResult(QDialog::Accepted);
  };
  Frame().Action(ID_FILE_PRINT)->trigger();
  EXPECT_EQ(minPage, 1);
  EXPECT_EQ(maxPage, 1);
  const QByteArray bytes = Read(pdf);
  EXPECT_TRUE(bytes.startsWith("%PDF-"));
  EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1);
}

TEST_F(PrintTest, ACancelledDialogPrintsNothingAndAFileThatCannotBeWrittenIsNamed) {
  ShowJan();
  const QString pdf = TempPath(QStringLiteral("never.pdf"));
  Frame().Printer().setOutputFileName(pdf);
  m_prompt.onModal = [](QDialog& dialog) { dialog.setResult(QDialog::Rejected); };
  Frame().Action(ID_FILE_PRINT)->trigger();
  EXPECT_FALSE(QFile::exists(pdf));
  EXPECT_TRUE(m_prompt.messages.empty());

  const QString nowhere = TempPath(QStringLiteral("chybí/Novák.pdf"));
  Frame().Printer().setOutputFileName(nowhere);
  m_prompt.onModal = [](QDialog& dialog) { dialog.setResult(QDialog::Accepted); };
  Frame().Action(ID_FILE_PRINT)->trigger();
  EXPECT_EQ(m_prompt.MessageTexts(),
            QStringList{"The contact could not be printed on " + nowhere + "."});
}

TEST_F(PrintTest, ThePreviewShowsOnePageOnThePrinterThatPageSetupSetUp) {
  ShowJan();
  QPrinter* setUp = nullptr;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* setup = dynamic_cast<QPageSetupDialog*>(&dialog);
    ASSERT_NE(setup, nullptr);
    setUp = setup->printer();
    setUp->setPageOrientation(QPageLayout::Landscape);
  };
  Frame().Action(ID_FILE_PRINT_SETUP)->trigger();
  ASSERT_EQ(setUp, &Frame().Printer());

  int pages = 0;
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* preview = dynamic_cast<QPrintPreviewDialog*>(&dialog);
    ASSERT_NE(preview, nullptr);
    preview->show();
    QApplication::processEvents();
    if (auto* widget = preview->findChild<QPrintPreviewWidget*>()) pages = widget->pageCount();
    orientation = preview->printer()->pageLayout().orientation();
    preview->close();
  };
  Frame().Action(ID_FILE_PRINT_PREVIEW)->trigger();
  EXPECT_EQ(pages, 1);
  EXPECT_EQ(orientation, QPageLayout::Landscape);
}

}  // namespace zorvan::test
