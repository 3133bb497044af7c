#pragma once

class TProperty_Host;
class Tfrm_Main;

// Builds the property host into the main window's host region and connects it to the
// window's side-bar images, its Find command and its tree: the Properties command (side
// bar, header, F4 and the Properties menu items), Assign Document Files, the find panel,
// and the arranging of the regions when the host opens or closes. The host is a child of
// the window.
TProperty_Host *Attach_Property_Host(Tfrm_Main *main);
