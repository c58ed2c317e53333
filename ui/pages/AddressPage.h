#pragma once

#include "ui/pages/PropPage.h"

class QGroupBox;

namespace zorvan {

class CBitmapButton;

// A page of addresses with an e-mail and a web box, each with a button that opens what is typed
// in it; a button is enabled exactly when its box holds text.
class CAddressPage : public CPropPage {
  Q_OBJECT

 public:
  void Load(CTreeItem& record) override;

  QLineEdit* m_pEmail = nullptr;
  QLineEdit* m_pWeb = nullptr;
  CBitmapButton* m_pEmailButton = nullptr;
  CBitmapButton* m_pWebButton = nullptr;

 protected:
  CAddressPage(CMyPropSheet& sheet, int headerStringId);

  // The e-mail or web edit of field in row of grid, with its button in the column after it.
  void AddEmailField(QGridLayout* grid, int row, int column, const QString& label, EField field);
  void AddWebField(QGridLayout* grid, int row, int column, const QString& label, EField field);

  // The fields that reach the contact at one address, in the order of their rows.
  struct SReachFields {
    EField phone, fax, mobile, pager, email, web, ipPhone;
  };
  // The seven fields of reach in rows 0 to 6 of column, the same labels at home and at work.
  void AddReachFields(QGridLayout* grid, int column, const SReachFields& fields);

  struct SAddressFields {
    EField street, city, state, postalCode, country;
  };
  // The "Address" and "Contact Information" boxes, laid out alike at home and at work so that
  // their fields are as wide on both pages. The city's and the country's labels carry the
  // page's free mnemonics.
  QGroupBox* AddressBox(const SAddressFields& fields, const QString& cityLabel,
                        const QString& countryLabel);
  QGroupBox* ReachBox(const SReachFields& fields);
  void AfterUserEdit() override;

 private:
  void UpdateButtons();
};

}  // namespace zorvan
