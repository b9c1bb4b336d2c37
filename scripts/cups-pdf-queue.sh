#!/usr/bin/env bash
# Starts the print system with a PDF printer queue as the default printer, so the end-to-end slip
# test prints through a real queue. Safe to run again: a running scheduler and an existing queue
# are kept. Without root, or where the scheduler cannot start, it says so and the test skips.
set -uo pipefail

if [ "$(id -u)" -ne 0 ]; then
    echo "cups-pdf-queue: not root; the print queue is left as it is"
    exit 0
fi
# lpstat -r answers 0 either way; its text tells.
running() { lpstat -r 2>/dev/null | grep -q "scheduler is running"; }
if ! running; then
    mkdir -p /run/cups
    cupsd || { echo "cups-pdf-queue: the print scheduler did not start"; exit 0; }
    for _ in $(seq 1 50); do
        running && break
        sleep 0.2
    done
fi
if ! running; then
    echo "cups-pdf-queue: the print scheduler is not running"
    exit 0
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
    lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E ||
        { echo "cups-pdf-queue: the PDF queue could not be created"; exit 0; }
fi
# Qt hands the queue a PDF; the queue turns it into PostScript before the PDF printer writes it
# out again. Rendering that PostScript with cairo keeps the characters' meaning, so the
# printed file reads back as text.
lpadmin -p PDF -o pdftops-renderer-default=pdftocairo
lpadmin -d PDF
echo "cups-pdf-queue: default printer $(lpstat -d)"
