#pragma once
// The component layer: forms with named components, events, the application and its
// services. Include this header; it brings in every component.
//
// Conventions
//  - Texts are std::string in Windows-1252 (captions, edit texts, cells, messages); they
//    are converted only where they meet Qt. File names are std::filesystem::path.
//  - Properties are getter/setter pairs: Text()/SetText(v), Checked()/SetChecked(v),
//    Left()/SetLeft(v). One exception: Font is the drawing layer's TFont held as a plain
//    value (Label1->Font.Color = clWhite; Label1->Font.Bold = true), as on a canvas.
//  - Events are public std::function members named On..., the Sender first; bind methods
//    with lambdas: Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };
//  - Setting a property fires only what the platform fires (see each class: an edit's
//    SetText fires OnChange when the text differs, SetChecked fires a check box's OnClick
//    when the state changes, SetDown/SetPosition/SetItemIndex fire nothing...). A user's
//    action fires the events of the user's action.
//  - Components are created by their parent and owned by the form:
//    Edit1 = Panel1->Add<TEdit>("Edit1"). A form is created by Application->CreateForm,
//    which runs the subclass's constructor, then OnCreate. Forms start hidden.
//  - Every handler runs through the application's error boundary: an exception that leaves
//    the outermost handler becomes one message box with its what() text, and the program
//    goes on (TApplication::RunHandler).
//  - Keys carry the platform's virtual-key codes (VK_RETURN = 13, 'A' = 65, keys.h).
//  - Message boxes, file dialogs, the cursor, the screen and the clipboard go through the
//    services of services.h (ShowMessage, MessageDlg, TOpenDialog::Execute, Screen).
//  - Tests drive forms as a user does with tests/support/user_actions.h (real Qt mouse and
//    key events) under the fixture of tests/support/ui_harness.h (scripted services).
//
// Example:
//   class TForm2 : public TForm {
//   public:
//       explicit TForm2(TApplication& app) : TForm(app, "Form2") {
//           SetCaption("Aire");
//           SetBounds(0, 0, 300, 120);
//           SetKeyPreview(true);
//           Edit1 = Add<TEdit>("Edit1");
//           Edit1->SetBounds(8, 8, 120, 21);
//           CheckBox1 = Add<TCheckBox>("CheckBox1");
//           CheckBox1->SetBounds(8, 40, 120, 17);
//           CheckBox1->SetCaption("Entre");
//           Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };
//           CheckBox1->OnClick = [this](TObject* s) { CheckBox1Click(s); };
//           OnKeyPress = [this](TObject*, char& key) { if (key == 27) Hide(); };
//           OnCreate = [this](TObject*) { Edit1->SetText("0"); };  // runs after the constructor
//       }
//       TEdit* Edit1;  TCheckBox* CheckBox1;
//       void Edit1Change(TObject* Sender);  void CheckBox1Click(TObject* Sender);
//   };
//   TForm2* Form2;  ...  Application->CreateForm(Form2);  Form2->Show();
#include "platform/graphics/bitmap.h"
#include "platform/graphics/color.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/containers.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"
#include "platform/ui/grids.h"
#include "platform/ui/images.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/screen.h"
#include "platform/ui/services.h"
#include "platform/ui/ui_types.h"
#include "platform/ui/up_down.h"
