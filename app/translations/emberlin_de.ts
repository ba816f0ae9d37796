<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BurnReceipt</name>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>Erasing</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Burning</source>
        <translation>Brennen</translation>
    </message>
    <message>
        <source>Verifying</source>
        <translation>Überprüfen</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>It equals the image&apos;s SHA-256, but the burn failed after the verify: the disc may not hold the image.</source>
        <translation>Sie gleicht der SHA-256 des Abbilds, doch das Brennen schlug nach der Überprüfung fehl: Die Disc enthält das Abbild womöglich nicht.</translation>
    </message>
    <message>
        <source>It equals the image&apos;s SHA-256: the drive returned the image&apos;s bytes, but it could not be made to read the disc anew, so they may have come from its cache.</source>
        <translation>Sie gleicht der SHA-256 des Abbilds: Das Laufwerk lieferte die Bytes des Abbilds, ließ sich aber nicht dazu bringen, die Disc neu zu lesen; sie können daher aus seinem Zwischenspeicher stammen.</translation>
    </message>
    <message>
        <source>It equals the image&apos;s SHA-256: the drive returned the image&apos;s bytes, but the tool did not say whether it read them from the disc or from its cache.</source>
        <translation>Sie gleicht der SHA-256 des Abbilds: Das Laufwerk lieferte die Bytes des Abbilds, doch das Werkzeug sagte nicht, ob es sie von der Disc oder aus seinem Zwischenspeicher las.</translation>
    </message>
    <message>
        <source>It equals the image&apos;s SHA-256: the disc holds exactly the image.</source>
        <translation>Sie gleicht der SHA-256 des Abbilds: Die Disc enthält genau das Abbild.</translation>
    </message>
    <message>
        <source>Verify: not done (the option was off)</source>
        <translation>Überprüfung: nicht erfolgt (die Option war aus)</translation>
    </message>
    <message>
        <source>Verify: not done (the burn ended before it)</source>
        <translation>Überprüfung: nicht erfolgt (das Brennen endete vorher)</translation>
    </message>
    <message>
        <source>Verify: did not complete</source>
        <translation>Überprüfung: nicht abgeschlossen</translation>
    </message>
    <message>
        <source>Verify: completed, but the tool reported no SHA-256 of what it read back</source>
        <translation>Überprüfung: abgeschlossen, aber das Programm meldete keine SHA-256 des Zurückgelesenen</translation>
    </message>
    <message>
        <source>Read-back SHA-256: %1</source>
        <translation>SHA-256 des Zurückgelesenen: %1</translation>
    </message>
    <message>
        <source>Whether it equals the image&apos;s is unknown: the image&apos;s SHA-256 is missing</source>
        <translation>Ob sie der des Abbilds gleicht, ist unbekannt: die SHA-256 des Abbilds fehlt</translation>
    </message>
    <message>
        <source>It DIFFERS from the image&apos;s SHA-256: the disc does not hold the image.</source>
        <translation>Sie WEICHT von der SHA-256 des Abbilds AB: Die Disc enthält nicht das Abbild.</translation>
    </message>
    <message>
        <source>Emberlin burn receipt</source>
        <translation>Emberlin-Brennprotokoll</translation>
    </message>
    <message>
        <source>Image: %1</source>
        <translation>Abbild: %1</translation>
    </message>
    <message>
        <source>Size: %1 bytes</source>
        <translation>Größe: %1 Bytes</translation>
    </message>
    <message>
        <source>Image SHA-256: %1</source>
        <translation>SHA-256 des Abbilds: %1</translation>
    </message>
    <message>
        <source>File SHA-256 (as sha256sum prints it): %1</source>
        <translation>SHA-256 der Datei (wie sha256sum sie ausgibt): %1</translation>
    </message>
    <message>
        <source>SHA-256 of the disc image it holds, burned to the disc: %1</source>
        <translation>SHA-256 des enthaltenen Disc-Abbilds, auf die Disc gebrannt: %1</translation>
    </message>
    <message>
        <source>Burner: %1</source>
        <translation>Brenner: %1</translation>
    </message>
    <message>
        <source>Medium: %1</source>
        <translation>Medium: %1</translation>
    </message>
    <message>
        <source>Options: leave appendable %1, verify %2, erase first %3</source>
        <translation>Optionen: erweiterbar lassen %1, überprüfen %2, vorher löschen %3</translation>
    </message>
    <message>
        <source>Speed set: %1</source>
        <translation>Eingestellte Geschwindigkeit: %1</translation>
    </message>
    <message>
        <source>Started: %1</source>
        <translation>Begonnen: %1</translation>
    </message>
    <message>
        <source>%1: %2 to %3</source>
        <translation>%1: %2 bis %3</translation>
    </message>
    <message>
        <source>Ended: %1</source>
        <translation>Beendet: %1</translation>
    </message>
    <message>
        <source>Result: succeeded</source>
        <translation>Ergebnis: erfolgreich</translation>
    </message>
    <message>
        <source>Result: failed</source>
        <translation>Ergebnis: fehlgeschlagen</translation>
    </message>
    <message>
        <source>Status: %1</source>
        <translation>Status: %1</translation>
    </message>
    <message>
        <source>It does NOT match the %1 published in %2: burned anyway, as the person chose.</source>
        <translation>Es stimmt NICHT mit dem in %2 veröffentlichten %1 überein: auf Wunsch trotzdem gebrannt.</translation>
    </message>
    <message>
        <source>It matched the %1 published in %2 before the burn; the tool did not report what it read.</source>
        <translation>Es stimmte vor dem Brennen mit dem in %2 veröffentlichten %1 überein; das Werkzeug hat nicht gemeldet, was es gelesen hat.</translation>
    </message>
    <message>
        <source>It CHANGED while it was burned: what the tool read does not match the %1 published in %2.</source>
        <translation>Es hat sich beim Brennen GEÄNDERT: was das Werkzeug las, stimmt nicht mit dem in %2 veröffentlichten %1 überein.</translation>
    </message>
    <message>
        <source>It matches the %1 published in %2.</source>
        <translation>Es stimmt mit dem in %2 veröffentlichten %1 überein.</translation>
    </message>
    <message>
        <source>Erased before burning: %1</source>
        <translation>Vor dem Brennen gelöscht: %1</translation>
    </message>
</context>
<context>
    <name>BurnRun</name>
    <message>
        <source>signal %1</source>
        <translation>Signal %1</translation>
    </message>
    <message>
        <source>exit status %1</source>
        <translation>Exit-Status %1</translation>
    </message>
    <message>
        <source>Burn failed - the image changed while it was burned: the disc does not hold the image that matched its published checksum.</source>
        <translation>Brennen fehlgeschlagen - das Image hat sich beim Brennen geändert: die Disc enthält nicht das Image, das mit seiner veröffentlichten Prüfsumme übereinstimmte.</translation>
    </message>
    <message>
        <source>Burn failed - the disc-image tool ended with %1 after it had reported success</source>
        <translation>Brennen fehlgeschlagen - das Disc-Image-Werkzeug endete mit %1, nachdem es Erfolg gemeldet hatte</translation>
    </message>
    <message>
        <source>Burn failed - no pseudo-terminal could be opened for the disc-image tool</source>
        <translation>Brennen fehlgeschlagen - für das Disc-Image-Werkzeug konnte kein Pseudo-Terminal geöffnet werden</translation>
    </message>
    <message>
        <source>Burn failed - the disc-image tool could not be started (%1: %2)</source>
        <translation>Brennen fehlgeschlagen - das Disc-Image-Werkzeug konnte nicht gestartet werden (%1: %2)</translation>
    </message>
    <message>
        <source>Burn failed - the disc-image tool stopped unexpectedly (%1)</source>
        <translation>Brennen fehlgeschlagen - das Disc-Image-Werkzeug wurde unerwartet beendet (%1)</translation>
    </message>
    <message>
        <source>Please wait...</source>
        <translation>Bitte warten...</translation>
    </message>
    <message>
        <source>Burn failed - image file not found</source>
        <translation>Brennen fehlgeschlagen - Image-Datei nicht gefunden</translation>
    </message>
</context>
<context>
    <name>DiscImageName</name>
    <message>
        <source>%1 or %2</source>
        <extracomment>The last of a list of file name extensions joined to the others (&quot;.iso, .img, .dmg&quot;).</extracomment>
        <translation>%1 oder %2</translation>
    </message>
    <message>
        <source>Disc images (%1)</source>
        <translation>Disc-Images (%1)</translation>
    </message>
</context>
<context>
    <name>EraseQuestion</name>
    <message>
        <source>disc</source>
        <translation>Disc</translation>
    </message>
    <message>
        <source>The %1 in “%2” holds data.</source>
        <translation>Die %1 in „%2“ enthält Daten.</translation>
    </message>
    <message>
        <source>The %1 in “%2” holds %3.</source>
        <translation>Die %1 in „%2“ enthält %3.</translation>
    </message>
    <message>
        <source>Erase the disc in “%1”?</source>
        <translation>Die Disc in „%1“ löschen?</translation>
    </message>
    <message>
        <source>Erasing it destroys what it holds.</source>
        <translation>Beim Löschen geht alles verloren, was sie enthält.</translation>
    </message>
    <message>
        <source>Erase Disc</source>
        <translation>Disc löschen</translation>
    </message>
    <message>
        <source>Use Another Disc</source>
        <translation>Andere Disc verwenden</translation>
    </message>
</context>
<context>
    <name>LinkSafeFileWrite</name>
    <message>
        <source>A symbolic link has this name, and it could lead anywhere. Choose another name.</source>
        <translation>Eine symbolische Verknüpfung trägt diesen Namen und könnte überallhin führen. Wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Something other than a file has this name. Choose another name.</source>
        <translation>Etwas anderes als eine Datei trägt diesen Namen. Wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Something has taken this name meanwhile. Choose another name.</source>
        <translation>Inzwischen trägt etwas anderes diesen Namen. Wählen Sie einen anderen Namen.</translation>
    </message>
</context>
<context>
    <name>ProgressInterpreter</name>
    <message>
        <source>No available burners were found on your system.</source>
        <translation>Auf diesem System wurden keine verfügbaren Brenner gefunden.</translation>
    </message>
    <message>
        <source>The selected burner became unavailable.</source>
        <translation>Der gewählte Brenner ist nicht mehr verfügbar.</translation>
    </message>
    <message>
        <source>Please insert a writable disc...</source>
        <translation>Bitte eine beschreibbare Disc einlegen...</translation>
    </message>
    <message>
        <source>Media is not erasable.  Turn off the &apos;erase&apos; option and try again, or use erasable media.</source>
        <translation>Das Medium ist nicht löschbar.  Schalten Sie die Option „löschen“ aus und versuchen Sie es erneut, oder verwenden Sie ein löschbares Medium.</translation>
    </message>
    <message>
        <source>Media is not writable - please insert a writable disc...</source>
        <translation>Das Medium ist nicht beschreibbar - bitte eine beschreibbare Disc einlegen...</translation>
    </message>
    <message>
        <source>Not enough space on this disc - please insert another...</source>
        <translation>Nicht genug Platz auf dieser Disc - bitte eine andere einlegen...</translation>
    </message>
    <message>
        <source>Starting...</source>
        <translation>Wird gestartet...</translation>
    </message>
    <message>
        <source>Writing track...</source>
        <translation>Spur wird geschrieben...</translation>
    </message>
    <message>
        <source>Closing session...</source>
        <translation>Sitzung wird abgeschlossen...</translation>
    </message>
    <message>
        <source>Finishing burn...</source>
        <translation>Brennvorgang wird beendet...</translation>
    </message>
    <message>
        <source>Verifying...</source>
        <translation>Wird überprüft...</translation>
    </message>
    <message>
        <source>Erasing...</source>
        <translation>Wird gelöscht...</translation>
    </message>
    <message>
        <source>Burn completed successfully - ready to burn another disk image.</source>
        <translation>Brennvorgang erfolgreich abgeschlossen - bereit für das nächste Disc-Image.</translation>
    </message>
    <message>
        <source>Unable to get control of the burner - it may be being used by another application.</source>
        <translation>Der Brenner ist nicht zugänglich - vielleicht wird er von einem anderen Programm benutzt.</translation>
    </message>
    <message>
        <source>Burn failed</source>
        <translation>Brennen fehlgeschlagen</translation>
    </message>
    <message>
        <source>Rescan</source>
        <translation>Neu suchen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ReceiptFile</name>
    <message>
        <source>%1 burn receipt.txt</source>
        <translation>%1 Brennprotokoll.txt</translation>
    </message>
    <message>
        <source>The burn receipt was not saved</source>
        <translation>Das Brennprotokoll wurde nicht gespeichert</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>%1 burn receipts.txt</source>
        <translation>%1 Brennprotokolle.txt</translation>
    </message>
</context>
<context>
    <name>RegularFile</name>
    <message>
        <source>It is not a regular file.</source>
        <translation>Es ist keine gewöhnliche Datei.</translation>
    </message>
</context>
<context>
    <name>emberlin::BurnDesktopFeedback</name>
    <message>
        <source>Burn completed</source>
        <translation>Brennen abgeschlossen</translation>
    </message>
    <message>
        <source>Burn failed</source>
        <translation>Brennen fehlgeschlagen</translation>
    </message>
    <message>
        <source>Insert a disc</source>
        <translation>Disc einlegen</translation>
    </message>
    <message>
        <source>Please insert a writable disc into “%1” to burn “%2”.</source>
        <translation>Bitte legen Sie eine beschreibbare Disc in „%1“ ein, um „%2“ zu brennen.</translation>
    </message>
</context>
<context>
    <name>emberlin::BurnerListing</name>
    <message>
        <source>The disc-image tool could not be started (%1).</source>
        <translation>Das Disc-Image-Werkzeug konnte nicht gestartet werden (%1).</translation>
    </message>
    <message>
        <source>The disc-image tool did not answer (%1).</source>
        <translation>Das Disc-Image-Werkzeug hat nicht geantwortet (%1).</translation>
    </message>
</context>
<context>
    <name>emberlin::ChecksumGate</name>
    <message>
        <source>The image does not match its checksum</source>
        <translation>Das Image stimmt nicht mit seiner Prüfsumme überein</translation>
    </message>
    <message>
        <source>Burn Anyway</source>
        <translation>Trotzdem brennen</translation>
    </message>
    <message>
        <source>Don&apos;t Burn</source>
        <translation>Nicht brennen</translation>
    </message>
    <message>
        <source>Not burned - “%1” does not match %2.</source>
        <translation>Nicht gebrannt - „%1“ stimmt nicht mit %2 überein.</translation>
    </message>
    <message>
        <source>Checking “%1” against %2...</source>
        <translation>„%1“ wird mit %2 verglichen...</translation>
    </message>
    <message>
        <source>The %1 of “%2” is %3, but %4 gives %5. The download may be damaged or not the one published.</source>
        <translation>Der %1 von „%2“ ist %3, aber %4 nennt %5. Der Download ist vielleicht beschädigt oder nicht der veröffentlichte.</translation>
    </message>
</context>
<context>
    <name>emberlin::CopiesWindow</name>
    <message>
        <source>Burn Copies</source>
        <translation>Kopien brennen</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>Choose &amp;Image…</source>
        <translation>&amp;Image wählen…</translation>
    </message>
    <message>
        <source>Choose image</source>
        <translation>Image wählen</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>&amp;Speed:</source>
        <translation>&amp;Geschwindigkeit:</translation>
    </message>
    <message>
        <source>Burn speed</source>
        <translation>Brenngeschwindigkeit</translation>
    </message>
    <message>
        <source>Leave discs &amp;appendable</source>
        <translation>Discs &amp;offen lassen</translation>
    </message>
    <message>
        <source>&amp;Verify each disc</source>
        <translation>Jede Disc &amp;überprüfen</translation>
    </message>
    <message>
        <source>&amp;Erase discs if possible</source>
        <translation>Discs wenn möglich &amp;löschen</translation>
    </message>
    <message>
        <source>Burners</source>
        <translation>Brenner</translation>
    </message>
    <message>
        <source>No burners are listed. Burners appear here as the main window lists them.</source>
        <translation>Es sind keine Brenner aufgeführt. Brenner erscheinen hier, sobald das Hauptfenster sie auflistet.</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>Zusammenfassung</translation>
    </message>
    <message>
        <source>Save Burn &amp;Receipts…</source>
        <translation>Brenn&amp;protokolle sichern…</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;Burn</source>
        <translation>&amp;Brennen</translation>
    </message>
    <message>
        <source>Save Burn Receipts</source>
        <translation>Brennprotokolle sichern</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>Choose Disc Image</source>
        <translation>Disc-Image wählen</translation>
    </message>
    <message>
        <source>Drop one disc image file (%1) here to burn copies of it.</source>
        <translation>Legen Sie hier eine Disc-Image-Datei (%1) ab, um Kopien davon zu brennen.</translation>
    </message>
    <message>
        <source>Drop a disc image here to burn copies of it
(%1)</source>
        <translation>Legen Sie hier ein Disc-Image ab, um Kopien davon zu brennen
(%1)</translation>
    </message>
</context>
<context>
    <name>emberlin::CopyBurn</name>
    <message>
        <source>Burn cancelled.</source>
        <translation>Brennvorgang abgebrochen.</translation>
    </message>
</context>
<context>
    <name>emberlin::CopyBurnController</name>
    <message>
        <source>%1 of 1 disc burned and verified</source>
        <translation>%1 von 1 Disc gebrannt und überprüft</translation>
    </message>
    <message>
        <source>%1 of 1 disc burned</source>
        <translation>%1 von 1 Disc gebrannt</translation>
    </message>
    <message>
        <source>%1 of %2 discs burned and verified</source>
        <translation>%1 von %2 Discs gebrannt und überprüft</translation>
    </message>
    <message>
        <source>%1 of %2 discs burned</source>
        <translation>%1 von %2 Discs gebrannt</translation>
    </message>
    <message>
        <source>In use by the main window&apos;s burn</source>
        <translation>Vom Brennvorgang im Hauptfenster belegt</translation>
    </message>
</context>
<context>
    <name>emberlin::CopyBurnerRow</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel the burn on %1</source>
        <translation>Brennvorgang auf %1 abbrechen</translation>
    </message>
    <message>
        <source>Burn progress on %1</source>
        <translation>Brennfortschritt auf %1</translation>
    </message>
    <message>
        <source>Status on %1</source>
        <translation>Status auf %1</translation>
    </message>
    <message>
        <source>Speed and time left on %1</source>
        <translation>Geschwindigkeit und verbleibende Zeit auf %1</translation>
    </message>
</context>
<context>
    <name>emberlin::DiscRefusalNote</name>
    <message>
        <source>The last disc has room for %1; the image needs %2.</source>
        <translation>Auf der letzten Disc ist Platz für %1; das Image braucht %2.</translation>
    </message>
    <message>
        <source>The last disc was refused: %1</source>
        <translation>Die letzte Disc wurde abgelehnt: %1</translation>
    </message>
    <message>
        <source>The last disc holds %1 and was refused: %2</source>
        <translation>Die letzte Disc enthält %1 und wurde abgelehnt: %2</translation>
    </message>
</context>
<context>
    <name>emberlin::EmberlinController</name>
    <message>
        <source>Image file not found</source>
        <translation>Image-Datei nicht gefunden</translation>
    </message>
    <message>
        <source>The image file cannot be found (perhaps it has been renamed or moved?)</source>
        <translation>Die Image-Datei ist nicht zu finden (wurde sie vielleicht umbenannt oder verschoben?)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Burn failed - no burner is selected</source>
        <translation>Brennen fehlgeschlagen - kein Brenner gewählt</translation>
    </message>
    <message>
        <source>Burn failed</source>
        <translation>Brennen fehlgeschlagen</translation>
    </message>
    <message>
        <source>The disc-image tool could not be started (%1: %2).</source>
        <translation>Das Disc-Image-Werkzeug konnte nicht gestartet werden (%1: %2).</translation>
    </message>
    <message>
        <source>Eeek! Unexpected System Error</source>
        <translation>Huch! Unerwarteter Systemfehler</translation>
    </message>
    <message>
        <source>Unable to get/set psuedo-tty file descriptors.  Not sure what to do next...</source>
        <translation>Die Pseudo-Terminal-Deskriptoren lassen sich nicht öffnen oder einstellen.  Wie es weitergehen soll, ist unklar...</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Burn cancelled.  Ready to burn another disk image.</source>
        <translation>Brennvorgang abgebrochen.  Bereit für das nächste Disc-Image.</translation>
    </message>
    <message>
        <source>Really quit?</source>
        <translation>Wirklich beenden?</translation>
    </message>
    <message>
        <source>There is currently a burn in progress.  Quitting now may make your disc unusable.</source>
        <translation>Gerade läuft ein Brennvorgang.  Wenn Sie jetzt beenden, wird die Disc vielleicht unbrauchbar.</translation>
    </message>
    <message>
        <source>Quit anyway</source>
        <translation>Trotzdem beenden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The disc-image tool stopped unexpectedly (%1).</source>
        <translation>Das Disc-Image-Werkzeug wurde unerwartet beendet (%1).</translation>
    </message>
    <message>
        <source>Not a disc image</source>
        <translation>Kein Disc-Image</translation>
    </message>
    <message>
        <source>A burn is in progress</source>
        <translation>Es wird gerade gebrannt</translation>
    </message>
    <message>
        <source>“%1” is being burned. Open “%2” again once this burn has ended.</source>
        <translation>„%1“ wird gerade gebrannt. Öffnen Sie „%2“ erneut, wenn dieser Brennvorgang beendet ist.</translation>
    </message>
    <message>
        <source>No checksum file was found beside “%1”.</source>
        <translation>Neben „%1“ wurde keine Prüfsummendatei gefunden.</translation>
    </message>
    <message>
        <source>“%1” matches its %2 in %3; the file&apos;s signature was not checked.</source>
        <translation>„%1“ stimmt mit seinem %2 in %3 überein; die Signatur der Datei wurde nicht geprüft.</translation>
    </message>
    <message>
        <source>“%1” matches its %2 in %3.</source>
        <translation>„%1“ stimmt mit seinem %2 in %3 überein.</translation>
    </message>
    <message>
        <source>“%1” does not match its %2 in %3.</source>
        <translation>„%1“ stimmt nicht mit seinem %2 in %3 überein.</translation>
    </message>
    <message>
        <source>“%1” is not a disc image, so it was not burned. Emberlin burns %2 files.</source>
        <translation>„%1“ ist kein Disc-Image und wurde deshalb nicht gebrannt. Emberlin brennt Dateien mit der Endung %2.</translation>
    </message>
</context>
<context>
    <name>emberlin::FreedesktopNotifications</name>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
</context>
<context>
    <name>emberlin::JobProgressLine</name>
    <message>
        <source>%1x, %2 MB/s</source>
        <translation>%1x, %2 MB/s</translation>
    </message>
    <message>
        <source>about 1 minute left</source>
        <translation>noch etwa 1 Minute</translation>
    </message>
    <message>
        <source>about %1 minutes left</source>
        <translation>noch etwa %1 Minuten</translation>
    </message>
    <message>
        <source>about %1 seconds left</source>
        <translation>noch etwa %1 Sekunden</translation>
    </message>
</context>
<context>
    <name>emberlin::MainWindow</name>
    <message>
        <source>Drop zone</source>
        <translation>Ablagefläche</translation>
    </message>
    <message>
        <source>Burn progress</source>
        <translation>Brennfortschritt</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>&amp;Burner:</source>
        <translation>&amp;Brenner:</translation>
    </message>
    <message>
        <source>Burner</source>
        <translation>Brenner</translation>
    </message>
    <message>
        <source>&amp;Reload burners</source>
        <translation>Brenner neu &amp;suchen</translation>
    </message>
    <message>
        <source>Reload burners</source>
        <translation>Brenner neu suchen</translation>
    </message>
    <message>
        <source>&amp;Speed:</source>
        <translation>&amp;Geschwindigkeit:</translation>
    </message>
    <message>
        <source>Burn speed</source>
        <translation>Brenngeschwindigkeit</translation>
    </message>
    <message>
        <source>Leave disc &amp;appendable</source>
        <translation>Disc &amp;offen lassen</translation>
    </message>
    <message>
        <source>Leave disc appendable</source>
        <translation>Disc offen lassen</translation>
    </message>
    <message>
        <source>&amp;Verify burn</source>
        <translation>Brennvorgang &amp;überprüfen</translation>
    </message>
    <message>
        <source>Verify burn</source>
        <translation>Brennvorgang überprüfen</translation>
    </message>
    <message>
        <source>&amp;Erase disc if possible</source>
        <translation>Disc wenn möglich &amp;löschen</translation>
    </message>
    <message>
        <source>Erase disc if possible</source>
        <translation>Disc wenn möglich löschen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Burn a&amp;gain</source>
        <translation>&amp;Erneut brennen</translation>
    </message>
    <message>
        <source>Burn again</source>
        <translation>Erneut brennen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>&amp;Open Disc Image…</source>
        <translation>Disc-Image ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Open Disc Image</source>
        <translation>Disc-Image öffnen</translation>
    </message>
    <message>
        <source>Speed and time left</source>
        <translation>Geschwindigkeit und verbleibende Zeit</translation>
    </message>
    <message>
        <source>&amp;Save Burn Receipt…</source>
        <translation>Brennprotokoll &amp;sichern…</translation>
    </message>
    <message>
        <source>Save Burn Receipt</source>
        <translation>Brennprotokoll sichern</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>Burn &amp;Copies…</source>
        <translation>&amp;Kopien brennen…</translation>
    </message>
    <message>
        <source>Checksum</source>
        <translation>Prüfsumme</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Refused disc</source>
        <translation>Abgelehnte Disc</translation>
    </message>
    <message>
        <source>Choose a burner</source>
        <translation>Brenner wählen</translation>
    </message>
    <message>
        <source>Drop a disc image here to burn it
(%1)</source>
        <translation>Disc-Image hier ablegen, um es zu brennen
(%1)</translation>
    </message>
    <message>
        <source>Drop one disc image file (%1) here to burn it.</source>
        <translation>Legen Sie hier eine Disc-Image-Datei (%1) ab, um sie zu brennen.</translation>
    </message>
</context>
<context>
    <name>emberlin::SingleInstance</name>
    <message>
        <source>Emberlin: cannot lock %1: two launches at once may both open a window.</source>
        <translation>Emberlin: %1 lässt sich nicht sperren: zwei gleichzeitige Starts öffnen vielleicht beide ein Fenster.</translation>
    </message>
    <message>
        <source>Emberlin: later launches cannot reach this window (%1): each will open a window of its own.</source>
        <translation>Emberlin: spätere Starts erreichen dieses Fenster nicht (%1): jeder öffnet ein eigenes Fenster.</translation>
    </message>
    <message>
        <source>Emberlin: no folder is private to this user (XDG_RUNTIME_DIR), so later launches cannot reach this window safely: each will open a window of its own.</source>
        <translation>Emberlin: Kein Ordner ist diesem Benutzer allein vorbehalten (XDG_RUNTIME_DIR), daher erreichen spätere Starts dieses Fenster nicht sicher: Jeder öffnet ein eigenes Fenster.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Emberlin is already running</source>
        <translation>Emberlin läuft bereits</translation>
    </message>
    <message>
        <source>It does not answer, so nothing was handed to it.</source>
        <translation>Es antwortet nicht, daher wurde ihm nichts übergeben.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
</TS>
